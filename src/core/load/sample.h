#pragma once

// The first pieces of a file, read to learn its format: up to the first
// kFormatSamplePieces pieces that hold text, with every empty piece between
// them. They are parsed for the log once the format is known.
//
// Empty pieces cost no memory by their number: a run of one empty piece
// repeated (a run of zero bytes, which comes in pieces of kMaxPiece zeros, or
// of empty lines) is held once with its count. So is the sample's whole size:
// past kSampleBytes the format is told from the pieces read so far.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class LogPieceReader;

// Enough for a thousand pieces of the longest kind, and more.
inline constexpr std::size_t kSampleBytes = std::size_t{64} << 20;

struct SamplePiece {
  std::string text;
  std::int64_t repeat = 1;    // how many pieces in a row are this text
  bool cut = false;           // LastPieceCut of the last of them
  std::int64_t position = 0;  // FilePosition after the last of them
};

struct Sample {
  std::vector<SamplePiece> pieces;
  std::vector<std::string_view> non_empty;  // into `pieces`, for the format's detection
  std::size_t bytes = 0;                    // what `pieces` holds

  // Calls take(text, cut) for every piece in file order and then step(position)
  // once per entry; stops early when take returns false.
  template <class Take, class Step>
  void Replay(Take take, Step step) const {
    for (const SamplePiece& p : pieces) {
      for (std::int64_t i = 0; i < p.repeat; ++i) {
        if (!take(std::string_view(p.text), p.cut)) return;
      }
      step(p.position);
    }
  }
};

// Reads the sample from the start of `reader`'s text.
void ReadSample(LogPieceReader& reader, Sample& sample);

}  // namespace tw
