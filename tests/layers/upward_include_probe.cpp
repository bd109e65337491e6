// Compiled as a file of the log layer: its own layer's header is found, the
// session's, from a layer above it, must not be.
#include "log/record.h"
#include "session/session.h"
