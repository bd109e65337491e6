#include "load/sample.h"

#include "load/chunk.h"
#include "load/line_reader.h"
#include "parse/format.h"

namespace tw {

void ReadSample(LogPieceReader& reader, Sample& sample) {
  std::string_view piece;
  std::size_t non_empty = 0;
  while (non_empty < kFormatSamplePieces && sample.bytes < kSampleBytes && reader.Next(piece)) {
    const bool cut = reader.LastPieceCut();
    const bool empty = IsEmptyPiece(piece);
    if (empty && !cut && !sample.pieces.empty() && sample.pieces.back().text == piece) {
      SamplePiece& last = sample.pieces.back();
      ++last.repeat;
      last.position = reader.FilePosition();
      continue;
    }
    sample.pieces.push_back({std::string(piece), 1, cut, reader.FilePosition()});
    sample.bytes += piece.size() + sizeof(SamplePiece);
    if (!empty) ++non_empty;
  }
  for (const SamplePiece& p : sample.pieces) {
    if (!IsEmptyPiece(p.text)) sample.non_empty.emplace_back(p.text);
  }
}

}  // namespace tw
