#include "load/xz_input.h"

#include <lzma.h>

#include <new>

#include "load/codec_input.h"

namespace tw {
namespace {

// The parts of an xz stream, in the order they come.
enum class Part { kStreamHeader, kBlockHeader, kBlock, kIndex, kStreamFooter, kPadding };

class XzInput : public codec::CodecInput {
 public:
  XzInput(std::unique_ptr<ByteInput> source, std::string_view head)
      : CodecInput(std::move(source), head) {
    for (lzma_filter& f : filters_) f = {LZMA_VLI_UNKNOWN, nullptr};
  }
  ~XzInput() override {
    lzma_filters_free(filters_, nullptr);
    lzma_index_hash_end(index_, nullptr);
    lzma_end(&block_decoder_);
  }

  std::size_t Decode(char* out, std::size_t size) override {
    out_ = out;
    room_ = size;
    given_ = 0;
    while (!done_ && !failed() && given_ == 0) {
      if (!HaveInput()) {
        AtEnd();
        break;
      }
      Step();
    }
    return Produced(given_);
  }

 private:
  void Step() {
    switch (part_) {
      case Part::kStreamHeader: return StreamHeader();
      case Part::kBlockHeader: return BlockHeader();
      case Part::kBlock: return Block();
      case Part::kIndex: return Index();
      case Part::kStreamFooter: return StreamFooter();
      case Part::kPadding: return Padding();
    }
  }

  // Gathers the `need` bytes of a header, which reads may split.
  bool Gather(std::size_t need) {
    const std::size_t n = std::min(need - have_, in_left());
    std::memcpy(header_ + have_, in(), n);
    Take(n);
    have_ += n;
    return have_ == need;
  }
  void Expect(Part part) {
    part_ = part;
    have_ = 0;
  }
  void Damaged() { Fail(InputError::Kind::kDamaged); }

  void StreamHeader() {
    if (!Gather(LZMA_STREAM_HEADER_SIZE)) return;
    if (lzma_stream_header_decode(&flags_, header_) != LZMA_OK) return Damaged();
    index_ = lzma_index_hash_init(index_, nullptr);
    if (index_ == nullptr) throw std::bad_alloc();
    Expect(Part::kBlockHeader);
  }

  void BlockHeader() {
    // A zero where a block header would begin starts the index instead.
    if (have_ == 0 && in()[0] == 0) return Expect(Part::kIndex);
    const std::size_t need = lzma_block_header_size_decode(static_cast<std::uint8_t>(have_ == 0 ? in()[0] : header_[0]));
    if (!Gather(need)) return;
    lzma_filters_free(filters_, nullptr);
    block_ = lzma_block{};
    block_.version = 1;
    block_.check = flags_.check;
    block_.header_size = static_cast<std::uint32_t>(need);
    block_.filters = filters_;
    if (Started(lzma_block_header_decode(&block_, nullptr, header_)) &&
        Started(lzma_block_decoder(&block_decoder_, &block_))) {
      Expect(Part::kBlock);
    }
  }
  bool Started(lzma_ret rc) {
    if (rc == LZMA_MEM_ERROR) throw std::bad_alloc();
    if (rc != LZMA_OK) Damaged();
    return rc == LZMA_OK;
  }

  void Block() {
    block_decoder_.next_in = reinterpret_cast<const std::uint8_t*>(in());
    block_decoder_.avail_in = in_left();
    block_decoder_.next_out = reinterpret_cast<std::uint8_t*>(out_ + given_);
    block_decoder_.avail_out = room_ - given_;
    const lzma_ret rc = lzma_code(&block_decoder_, LZMA_RUN);
    Take(in_left() - block_decoder_.avail_in);
    given_ = room_ - block_decoder_.avail_out;
    if (rc == LZMA_MEM_ERROR) throw std::bad_alloc();
    if (rc == LZMA_OK) return;
    if (rc != LZMA_STREAM_END) return Damaged();
    // The block's check passed: its text is vouched for.
    CheckedUpTo(given_);
    if (lzma_index_hash_append(index_, lzma_block_unpadded_size(&block_), block_.uncompressed_size) !=
        LZMA_OK) {
      return Damaged();
    }
    Expect(Part::kBlockHeader);
  }

  void Index() {
    std::size_t used = 0;
    const lzma_ret rc = lzma_index_hash_decode(index_, reinterpret_cast<const std::uint8_t*>(in()), &used, in_left());
    Take(used);
    if (rc == LZMA_STREAM_END) return Expect(Part::kStreamFooter);
    if (rc != LZMA_OK) Damaged();
  }

  void StreamFooter() {
    if (!Gather(LZMA_STREAM_HEADER_SIZE)) return;
    lzma_stream_flags footer;
    if (lzma_stream_footer_decode(&footer, header_) != LZMA_OK ||
        lzma_stream_flags_compare(&flags_, &footer) != LZMA_OK ||
        footer.backward_size != lzma_index_hash_size(index_)) {
      return Damaged();
    }
    padding_ = 0;
    Expect(Part::kPadding);
  }

  // Zero bytes, four at a time, may follow a stream; then another stream or the end.
  void Padding() {
    while (in_left() > 0 && in()[0] == 0) {
      Take(1);
      ++padding_;
    }
    if (in_left() == 0) return;
    if (padding_ % 4 != 0) return Damaged();
    Expect(Part::kStreamHeader);
  }

  void AtEnd() {
    done_ = true;
    if (failed()) return;
    if (part_ != Part::kPadding) return Fail(InputError::Kind::kTruncated);
    if (padding_ % 4 != 0) Damaged();
  }

  lzma_stream block_decoder_ = LZMA_STREAM_INIT;
  lzma_block block_{};
  lzma_filter filters_[LZMA_FILTERS_MAX + 1];
  lzma_stream_flags flags_{};
  lzma_index_hash* index_ = nullptr;
  Part part_ = Part::kStreamHeader;
  std::uint8_t header_[LZMA_BLOCK_HEADER_SIZE_MAX];
  std::size_t have_ = 0;  // bytes of header_ gathered
  std::uint64_t padding_ = 0;
  char* out_ = nullptr;
  std::size_t room_ = 0;
  std::size_t given_ = 0;
  bool done_ = false;
};

}  // namespace

std::unique_ptr<ByteInput> MakeXzInput(std::unique_ptr<ByteInput> source, std::string_view head) {
  return std::make_unique<XzInput>(std::move(source), head);
}

}  // namespace tw
