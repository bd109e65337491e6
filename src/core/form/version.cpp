#include "form/version.h"

#include <cstdio>

#ifndef TALLYWEAVE_FILE_VERSION
#define TALLYWEAVE_FILE_VERSION ""
#endif

namespace tw {

bool ReadFileVersion(std::array<int, 4>& parts) {
  int consumed = 0;
  const char* text = TALLYWEAVE_FILE_VERSION;
  if (std::sscanf(text, "%d.%d.%d.%d%n", &parts[0], &parts[1], &parts[2], &parts[3], &consumed) !=
      4) {
    return false;
  }
  return text[consumed] == '\0';
}

}  // namespace tw
