#include "base/release_memory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tw {

void ReleaseFreedMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

}  // namespace tw
