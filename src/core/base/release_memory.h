#pragma once

// Giving the system back the memory the heap holds free. A log's texts and
// the chunks of a load on several threads are freed into the heaps of the
// threads that made them, which keep it resident otherwise: after a load or a
// cancelled load, the next load or report needs it elsewhere.

namespace tw {

void ReleaseFreedMemory();

// From now on every heap block of a huge page (2 MiB) or more is a mapping of
// its own, unmapped when freed: a log's largest arrays (a selection of every
// record, a pool's slot table) then give their pages and their huge-page
// advice back with them, load after load. Smaller blocks stay in the heap.
// Safe to call more than once.
void KeepLargeBlocksApart();

}  // namespace tw
