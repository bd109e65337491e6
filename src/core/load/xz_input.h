#pragma once

// The text of an xz file, read block by block so that damage is placed in the
// block it is in: each block's check vouches for its text as soon as the block
// ends, not only when its stream does. Concatenated streams, with the stream
// padding between them, read on as one text.

#include <memory>
#include <string_view>

#include "base/file_access.h"

namespace tw {

// REQUIRES: `head` (already read from `source`) starts with the xz signature.
// May throw std::bad_alloc.
std::unique_ptr<ByteInput> MakeXzInput(std::unique_ptr<ByteInput> source, std::string_view head);

}  // namespace tw
