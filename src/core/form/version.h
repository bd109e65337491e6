#pragma once

// The program's own file version, standing in for the version resource of
// the executable: four numbers, most significant first, fixed by the build.

#include <array>

namespace tw {

// Returns false when the build recorded no well-formed version.
bool ReadFileVersion(std::array<int, 4>& parts);

}  // namespace tw
