#include "base/release_memory.h"

#include "base/huge_block.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tw {

void ReleaseFreedMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

void KeepLargeBlocksApart() {
#ifdef __GLIBC__
  // A fixed threshold also stops glibc from raising it to the size of each
  // mapped block freed. Raised past a selection's size by the first load, it
  // put every later load's big arrays in the loading thread's heap, whose
  // pages stay resident when they are freed and keep their huge-page advice
  // for whatever the heap puts there next.
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(HugeBlock::kBytes));
#endif
}

}  // namespace tw
