#pragma once

// Compressed logs read as streams: the decompressed bytes come out in blocks,
// never the whole file at once. The kind is told by the file's first bytes,
// whatever the file is called.

#include <memory>
#include <string_view>

#include "base/file_access.h"

namespace tw {

enum class Compression { kNone, kGzip, kBzip2, kXz, kZstd, kZip };

// Enough of a file's start to tell every kind.
inline constexpr std::size_t kSignatureBytes = 6;

// The kind whose signature `head` starts with.
Compression CompressionOf(std::string_view head);

// "gzip", "bzip2", "xz", "zstd", "zip" or "".
std::string_view CompressionName(Compression kind);

// A stream of the decompressed bytes of `source`, whose first bytes `head`
// were already read from it. Several concatenated gzip members, bzip2 streams,
// xz streams or zstd frames read as one text. Consumed() counts the
// compressed bytes. May throw std::bad_alloc.
// REQUIRES: kind is kGzip, kBzip2, kXz or kZstd.
std::unique_ptr<ByteInput> MakeDecompressor(Compression kind, std::unique_ptr<ByteInput> source,
                                            std::string_view head);

}  // namespace tw
