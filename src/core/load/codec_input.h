#pragma once

// What every decoder of a packed log shares: the compressed bytes waiting to
// be decoded, the decoded text served in blocks of one size, and the account
// of how much of that text a check has vouched for.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "base/file_access.h"

namespace tw::codec {

inline constexpr std::size_t kInputBlock = std::size_t{256} << 10;
inline constexpr std::size_t kOutputBlock = std::size_t{64} << 10;

// The compressed bytes waiting for a decoder, refilled from the source.
// A decoder derives from it and implements Decode().
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

// A size as the unsigned int that zlib and bzip2 take, at most UINT_MAX.
inline unsigned int Clamp(std::size_t n) { return n > UINT_MAX ? UINT_MAX : static_cast<unsigned int>(n); }

}  // namespace tw::codec
