#include "load/decompress.h"

#include <bzlib.h>
#include <zlib.h>
#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "load/codec_input.h"
#include "load/xz_input.h"

namespace tw {
namespace {

using codec::Clamp;
using codec::CodecInput;

class GzipInput : public CodecInput {
 public:
  GzipInput(std::unique_ptr<ByteInput> source, std::string_view head)
      : CodecInput(std::move(source), head) {
    // 32 added to the window bits: a gzip header is expected and checked.
    if (inflateInit2(&z_, 15 + 32) != Z_OK) throw std::bad_alloc();
  }
  ~GzipInput() override { inflateEnd(&z_); }

  std::size_t Decode(char* out, std::size_t size) override {
    const unsigned int room = Clamp(size);
    z_.next_out = reinterpret_cast<Bytef*>(out);
    z_.avail_out = room;
    while (!done_ && !failed() && z_.avail_out == room) {
      if (!HaveInput()) {
        if (!failed() && in_member_) Fail(InputError::Kind::kTruncated);
        done_ = true;
        break;
      }
      z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in()));
      z_.avail_in = Clamp(in_left());
      const unsigned int before = z_.avail_in;
      const int rc = inflate(&z_, Z_NO_FLUSH);
      Take(before - z_.avail_in);
      in_member_ = true;
      if (rc == Z_STREAM_END) {
        // Another member may follow; it reads on as the same text.
        CheckedUpTo(room - z_.avail_out);
        inflateReset(&z_);
        in_member_ = false;
      } else if (rc == Z_MEM_ERROR) {
        throw std::bad_alloc();
      } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
        Fail(InputError::Kind::kDamaged);
      }
    }
    return Produced(room - z_.avail_out);
  }

 private:
  z_stream z_{};
  bool in_member_ = false;
  bool done_ = false;
};

// A block's text comes out only after all of its compressed bytes are read,
// and is checked as its last byte comes out. Fed in small slices, the decoder
// runs out of input soon after each block ends, so the end of each block is
// seen (a block that packs smaller than a slice may hide the one before it,
// which only moves the checked point back).
class Bzip2Input : public CodecInput {
 public:
  Bzip2Input(std::unique_ptr<ByteInput> source, std::string_view head)
      : CodecInput(std::move(source), head) {
    Start();
  }
  ~Bzip2Input() override { BZ2_bzDecompressEnd(&bz_); }

  std::size_t Decode(char* out, std::size_t size) override {
    const unsigned int room = Clamp(size);
    bz_.next_out = out;
    bz_.avail_out = room;
    while (!done_ && !failed() && bz_.avail_out == room) {
      if (!HaveInput()) {
        if (!failed() && in_stream_) Fail(InputError::Kind::kTruncated);
        done_ = true;
        break;
      }
      bz_.next_in = const_cast<char*>(in());
      bz_.avail_in = Clamp(std::min(in_left(), kSlice - static_cast<std::size_t>(Consumed()) % kSlice));
      const unsigned int before = bz_.avail_in;
      const int rc = BZ2_bzDecompress(&bz_);
      Take(before - bz_.avail_in);
      in_stream_ = true;
      if (rc == BZ_STREAM_END) {
        // Concatenated streams (as pbzip2 writes) read on as the same text.
        CheckedUpTo(room - bz_.avail_out);
        char* const next_out = bz_.next_out;
        const unsigned int avail_out = bz_.avail_out;
        BZ2_bzDecompressEnd(&bz_);
        Start();
        bz_.next_out = next_out;
        bz_.avail_out = avail_out;
        in_stream_ = false;
      } else if (rc == BZ_MEM_ERROR) {
        throw std::bad_alloc();
      } else if (rc != BZ_OK) {
        Fail(InputError::Kind::kDamaged);
      } else if (bz_.avail_out > 0) {
        // Room is left only once every block begun has given all its text
        // and passed its check: the decoder is reading the next one.
        CheckedUpTo(room - bz_.avail_out);
      }
    }
    return Produced(room - bz_.avail_out);
  }

 private:
  static constexpr std::size_t kSlice = 4096;

  void Start() {
    bz_ = bz_stream{};
    if (BZ2_bzDecompressInit(&bz_, 0, 0) != BZ_OK) throw std::bad_alloc();
  }
  bz_stream bz_{};
  bool in_stream_ = false;
  bool done_ = false;
};

class ZstdInput : public CodecInput {
 public:
  ZstdInput(std::unique_ptr<ByteInput> source, std::string_view head)
      : CodecInput(std::move(source), head), stream_(ZSTD_createDStream()) {
    if (stream_ == nullptr) throw std::bad_alloc();
  }
  ~ZstdInput() override { ZSTD_freeDStream(stream_); }

  std::size_t Decode(char* out, std::size_t size) override {
    ZSTD_outBuffer output{out, size, 0};
    while (!done_ && !failed() && output.pos == 0) {
      const bool more = HaveInput();
      if (failed()) break;
      ZSTD_inBuffer input{in(), in_left(), 0};
      if (!more && pending_ == 0) {
        done_ = true;
        break;
      }
      const std::size_t rc = ZSTD_decompressStream(stream_, &output, &input);
      Take(input.pos);
      if (ZSTD_isError(rc)) {
        if (ZSTD_getErrorCode(rc) == ZSTD_error_memory_allocation) throw std::bad_alloc();
        Fail(InputError::Kind::kDamaged);
        break;
      }
      // 0 means a frame ended and all of it was handed out.
      pending_ = rc;
      if (rc == 0) CheckedUpTo(output.pos);
      if (!more && output.pos == 0) Fail(InputError::Kind::kTruncated);
    }
    return Produced(output.pos);
  }

 private:
  ZSTD_DStream* stream_;
  std::size_t pending_ = 0;
  bool done_ = false;
};

}  // namespace

Compression CompressionOf(std::string_view head) {
  struct Signature {
    std::string_view bytes;
    Compression kind;
  };
  static constexpr Signature kSignatures[] = {
      {std::string_view("\x1F\x8B", 2), Compression::kGzip},
      {std::string_view("\xFD\x37\x7A\x58\x5A\x00", 6), Compression::kXz},
      {std::string_view("\x28\xB5\x2F\xFD", 4), Compression::kZstd},
      {std::string_view("PK\x03\x04", 4), Compression::kZip},
  };
  for (const Signature& s : kSignatures) {
    if (head.substr(0, s.bytes.size()) == s.bytes) return s.kind;
  }
  // bzip2: "BZh" and the block size, a digit from 1 to 9.
  if (head.size() >= 4 && head.substr(0, 3) == "BZh" && head[3] >= '1' && head[3] <= '9') {
    return Compression::kBzip2;
  }
  return Compression::kNone;
}

std::string_view CompressionName(Compression kind) {
  switch (kind) {
    case Compression::kGzip: return "gzip";
    case Compression::kBzip2: return "bzip2";
    case Compression::kXz: return "xz";
    case Compression::kZstd: return "zstd";
    case Compression::kZip: return "zip";
    case Compression::kNone: break;
  }
  return "";
}

std::unique_ptr<ByteInput> MakeDecompressor(Compression kind, std::unique_ptr<ByteInput> source,
                                            std::string_view head) {
  switch (kind) {
    case Compression::kGzip: return std::make_unique<GzipInput>(std::move(source), head);
    case Compression::kBzip2: return std::make_unique<Bzip2Input>(std::move(source), head);
    case Compression::kXz: return MakeXzInput(std::move(source), head);
    case Compression::kZstd: return std::make_unique<ZstdInput>(std::move(source), head);
    default: return nullptr;
  }
}

}  // namespace tw
