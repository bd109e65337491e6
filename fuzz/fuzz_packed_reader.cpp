// The gzip, bzip2, xz and zstd readers behind LogPieceReader, over a file in
// memory. The input's first byte picks the kind; an odd second byte makes a
// read of the file fail part way; the rest is the file, with the kind's
// signature put in front unless it starts with it already, so every input
// reaches a decoder. Besides crashes and hangs it checks the reader's promises:
// pieces of 1 to kMaxPiece bytes, each but the last ending at the line end;
// Position is their sum; the error a sound one (damaged data names an
// unchecked start within the text read); and NextPieces gives the very bytes
// Next gives, with the same error.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fake_files.h"
#include "fuzz_support.h"
#include "load/decompress.h"
#include "load/line_reader.h"

namespace {

constexpr std::string_view kSignatures[] = {
    std::string_view("\x1F\x8B", 2),
    std::string_view("BZh9", 4),
    std::string_view("\xFD\x37\x7A\x58\x5A\x00", 6),
    std::string_view("\x28\xB5\x2F\xFD", 4),
};
constexpr tw::Compression kKinds[] = {tw::Compression::kGzip, tw::Compression::kBzip2,
                                      tw::Compression::kXz, tw::Compression::kZstd};
constexpr char kPath[] = "/logs/access.log";
// A small file may unpack to a great deal; past this much text the reading
// stops, as the rest would only cost time.
constexpr std::int64_t kMostText = std::int64_t{2} << 20;

struct Text {
  std::string bytes;
  bool whole = true;  // read to its end, not stopped at kMostText
  tw::InputError error;
  bool last_cut = false;
};

void CheckError(const tw::InputError& error, std::int64_t position, std::int64_t file_size) {
  using Kind = tw::InputError::Kind;
  FUZZ_CHECK(error.kind == Kind::kNone || error.kind == Kind::kRead ||
             error.kind == Kind::kDamaged || error.kind == Kind::kTruncated);
  if (error.kind == Kind::kNone) return;
  FUZZ_CHECK(error.offset >= 0 && error.offset <= file_size);
  if (error.kind == Kind::kDamaged || error.kind == Kind::kTruncated) {
    FUZZ_CHECK(error.unchecked_from >= 0 && error.unchecked_from <= position);
  } else {
    FUZZ_CHECK(error.unchecked_from == -1);
  }
}

// Every piece Next gives, checked one by one.
Text ReadByPieces(tw::testing::FakeFiles& files, tw::Compression kind) {
  tw::LogPieceReader reader;
  FUZZ_CHECK(reader.Open(files, kPath) == tw::LogPieceReader::OpenResult::kOpened);
  FUZZ_CHECK(reader.compression() == kind);
  Text text;
  std::string_view piece;
  bool open_end = false;  // the last piece had no line end: no piece may follow
  while (reader.Next(piece)) {
    FUZZ_CHECK(!open_end);
    FUZZ_CHECK(!piece.empty() && piece.size() <= tw::LogPieceReader::kMaxPiece);
    const bool ended = piece.back() == reader.LineEnd();
    FUZZ_CHECK(piece.substr(0, piece.size() - 1).find(reader.LineEnd()) == std::string_view::npos);
    open_end = !ended && piece.size() < tw::LogPieceReader::kMaxPiece;
    text.bytes.append(piece);
    FUZZ_CHECK(reader.Position() == static_cast<std::int64_t>(text.bytes.size()));
    FUZZ_CHECK(reader.FilePosition() >= 0 && reader.FilePosition() <= reader.Size());
    if (reader.Position() > kMostText) {
      text.whole = false;
      return text;
    }
  }
  FUZZ_CHECK(!reader.Next(piece));  // the end stays the end
  text.error = reader.Error();
  text.last_cut = reader.LastPieceCut();
  CheckError(text.error, reader.Position(), reader.Size());
  if (text.last_cut) {
    FUZZ_CHECK(open_end && text.error.kind != tw::InputError::Kind::kNone);
  }
  return text;
}

// The same text through NextPieces, in windows of a size from the input.
Text ReadInWindows(tw::testing::FakeFiles& files, std::size_t want) {
  tw::LogPieceReader reader;
  FUZZ_CHECK(reader.Open(files, kPath) == tw::LogPieceReader::OpenResult::kOpened);
  auto out = std::make_unique<char[]>(want + tw::LogPieceReader::kMaxPiece);
  Text text;
  bool broke_off = false;
  while (const std::size_t got = reader.NextPieces(out.get(), want)) {
    FUZZ_CHECK(got <= want + tw::LogPieceReader::kMaxPiece);
    text.bytes.append(out.get(), got);
    FUZZ_CHECK(reader.Position() == static_cast<std::int64_t>(text.bytes.size()));
    // Whether the text broke off after these bytes: their last piece is cut
    // when it also lacks a line end and is short of a whole piece.
    broke_off = reader.LastPieceCut();
    if (reader.Position() > kMostText) {
      text.whole = false;
      return text;
    }
  }
  text.error = reader.Error();
  std::size_t last_start = 0;
  bool last_ended = false;
  tw::CutPieces(text.bytes, reader.LineEnd(), [&](std::size_t end, bool ended) {
    if (end < text.bytes.size()) last_start = end;
    last_ended = ended;
  });
  text.last_cut = broke_off && !last_ended &&
                  text.bytes.size() - last_start < tw::LogPieceReader::kMaxPiece;
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t pick = data[0] % 4;
  const bool fail = data[1] % 2 == 1;
  std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::string file;
  if (rest.substr(0, kSignatures[pick].size()) != kSignatures[pick]) file = kSignatures[pick];
  file.append(rest);

  tw::testing::FakeFiles files;
  const std::int64_t fail_at = fail ? static_cast<std::int64_t>(data[1] * file.size() / 256) : -1;
  files.files[kPath] = {file, fail_at};
  if (fail_at >= 0 && fail_at < static_cast<std::int64_t>(tw::kSignatureBytes)) {
    // The kind cannot be told: the file cannot be opened.
    tw::LogPieceReader reader;
    FUZZ_CHECK(reader.Open(files, kPath) == tw::LogPieceReader::OpenResult::kCannotOpen);
    FUZZ_CHECK(reader.OpenError() == EIO);
    return 0;
  }
  const Text pieces = ReadByPieces(files, kKinds[pick]);
  const std::size_t want = 1 + (size * 131) % 20000;
  const Text windows = ReadInWindows(files, want);
  if (!pieces.whole || !windows.whole) return 0;
  FUZZ_CHECK(pieces.bytes == windows.bytes);
  FUZZ_CHECK(pieces.error.kind == windows.error.kind);
  FUZZ_CHECK(pieces.error.offset == windows.error.offset);
  FUZZ_CHECK(pieces.error.unchecked_from == windows.error.unchecked_from);
  FUZZ_CHECK(pieces.last_cut == windows.last_cut);
  return 0;
}
