#include "form/program_header.h"

#include <array>
#include <string>

#include "form/version.h"
#include "form/view.h"

namespace tw {

OutputHeader ProgramOutputHeader(const Session& session) {
  OutputHeader header = session.LogHeader();
  header.program = kProgramTitle;
  std::array<int, 4> v{};
  if (ReadFileVersion(v)) {
    header.version = std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) +
                     "." + std::to_string(v[3]);
  }
  return header;
}

}  // namespace tw
