#pragma once

// Giving the system back the memory the heap holds free. A log's texts and
// the chunks of a load on several threads are freed into the heaps of the
// threads that made them, which keep it resident otherwise: after a load or a
// cancelled load, the next load or report needs it elsewhere.

namespace tw {

void ReleaseFreedMemory();

}  // namespace tw
