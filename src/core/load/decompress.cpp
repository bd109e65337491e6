#include "load/decompress.h"

#include <bzlib.h>
#include <lzma.h>
#include <zlib.h>
#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace tw {
namespace {

constexpr std::size_t kInputBlock = std::size_t{256} << 10;
constexpr std::size_t kOutputBlock = std::size_t{64} << 10;

// The compressed bytes waiting for a decoder, refilled from the source.
class CodecInput : public ByteInput {
 public:
  CodecInput(std::unique_ptr<ByteInput> source, std::string_view head)
      : source_(std::move(source)), buffer_(std::make_unique<char[]>(kInputBlock)) {
    std::memcpy(buffer_.get(), head.data(), head.size());
    left_ = head.size();
  }
  const InputError& error() const override { return error_; }
  std::int64_t Consumed() const override {
    return source_->Consumed() - static_cast<std::int64_t>(left_);
  }

  // Served from a block the decoder fills, always given the same room: a
  // decoder that finds damage may drop text it had decoded, by an amount that
  // depends on the room it had, and the text must not depend on the reads.
  std::size_t Read(char* out, std::size_t size) final {
    std::size_t given = 0;
    while (given < size) {
      if (staged_begin_ == staged_end_) {
        staged_begin_ = 0;
        staged_end_ = decoder_done_ ? 0 : Decode(staged_.get(), kOutputBlock);
        if (staged_end_ == 0) {
          decoder_done_ = true;
          break;
        }
      }
      const std::size_t n = std::min(size - given, staged_end_ - staged_begin_);
      std::memcpy(out + given, staged_.get() + staged_begin_, n);
      staged_begin_ += n;
      given += n;
    }
    return given;
  }

 protected:
  // Fills up to `size` bytes of text and returns how many; 0 at the end or
  // after a failure, which error() then tells.
  virtual std::size_t Decode(char* out, std::size_t size) = 0;
  // Makes compressed bytes available; false once the source has none left
  // (a failed read is then taken over as this stream's error).
  bool HaveInput() {
    if (left_ > 0) return true;
    if (source_done_) return false;
    begin_ = 0;
    left_ = source_->Read(buffer_.get(), kInputBlock);
    if (left_ == 0) {
      source_done_ = true;
      if (source_->error().kind != InputError::Kind::kNone) error_ = source_->error();
    }
    return left_ > 0;
  }
  const char* in() const { return buffer_.get() + begin_; }
  std::size_t in_left() const { return left_; }
  void Take(std::size_t n) {
    begin_ += n;
    left_ -= n;
  }
  bool failed() const { return error_.kind != InputError::Kind::kNone; }
  void Fail(InputError::Kind kind) {
    error_ = {kind, 0, Consumed(), checked_};
  }
  // Counts `n` bytes of text handed out; returns n.
  std::size_t Produced(std::size_t n) {
    produced_ += static_cast<std::int64_t>(n);
    return n;
  }
  // A member, stream or frame ended whole (its check passed) after `n` bytes
  // of the text this Read is handing out.
  void CheckedUpTo(std::size_t n) { checked_ = produced_ + static_cast<std::int64_t>(n); }
  bool source_done() const { return source_done_ && left_ == 0; }

 private:
  std::unique_ptr<ByteInput> source_;
  std::unique_ptr<char[]> buffer_;
  std::unique_ptr<char[]> staged_ = std::make_unique_for_overwrite<char[]>(kOutputBlock);
  std::size_t staged_begin_ = 0;
  std::size_t staged_end_ = 0;
  bool decoder_done_ = false;
  std::size_t begin_ = 0;
  std::size_t left_ = 0;
  bool source_done_ = false;
  InputError error_;
  std::int64_t produced_ = 0;  // bytes of text handed out
  std::int64_t checked_ = 0;   // of them, those a check vouched for
};

unsigned int Clamp(std::size_t n) { return n > UINT_MAX ? UINT_MAX : static_cast<unsigned int>(n); }

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
      bz_.avail_in = Clamp(in_left());
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
      }
    }
    return Produced(room - bz_.avail_out);
  }

 private:
  void Start() {
    bz_ = bz_stream{};
    if (BZ2_bzDecompressInit(&bz_, 0, 0) != BZ_OK) throw std::bad_alloc();
  }
  bz_stream bz_{};
  bool in_stream_ = false;
  bool done_ = false;
};

class XzInput : public CodecInput {
 public:
  XzInput(std::unique_ptr<ByteInput> source, std::string_view head)
      : CodecInput(std::move(source), head) {
    if (lzma_stream_decoder(&xz_, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK) throw std::bad_alloc();
  }
  ~XzInput() override { lzma_end(&xz_); }

  std::size_t Decode(char* out, std::size_t size) override {
    xz_.next_out = reinterpret_cast<std::uint8_t*>(out);
    xz_.avail_out = size;
    while (!done_ && !failed() && xz_.avail_out == size) {
      const bool more = HaveInput();
      if (failed()) break;
      xz_.next_in = reinterpret_cast<const std::uint8_t*>(in());
      xz_.avail_in = in_left();
      const std::size_t before = xz_.avail_in;
      // Without LZMA_FINISH a concatenated stream never ends by itself.
      const lzma_ret rc = lzma_code(&xz_, more ? LZMA_RUN : LZMA_FINISH);
      Take(before - xz_.avail_in);
      if (rc == LZMA_STREAM_END) {
        done_ = true;
      } else if (rc == LZMA_MEM_ERROR) {
        throw std::bad_alloc();
      } else if (rc == LZMA_BUF_ERROR && !more) {
        Fail(InputError::Kind::kTruncated);
      } else if (rc != LZMA_OK && rc != LZMA_BUF_ERROR) {
        Fail(InputError::Kind::kDamaged);
      }
    }
    return Produced(size - xz_.avail_out);
  }

 private:
  lzma_stream xz_ = LZMA_STREAM_INIT;
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
    case Compression::kXz: return std::make_unique<XzInput>(std::move(source), head);
    case Compression::kZstd: return std::make_unique<ZstdInput>(std::move(source), head);
    default: return nullptr;
  }
}

}  // namespace tw
