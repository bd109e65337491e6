#pragma once

// What shared outputs say of who wrote them and from what: this program, its
// version ("1.0.1.83", or "" when the build recorded none) and the session's log.

#include "present/report_json.h"
#include "session/session.h"

namespace tw {

OutputHeader ProgramOutputHeader(const Session& session);

}  // namespace tw
