#include <charconv>
#include <cstdint>

#include "analysis/report_kinds.h"

namespace tw {

namespace {

// Signed order as unsigned: flip the sign bit.
std::uint64_t StatusKey(const ReportContext&, const LogRecord& r) {
  return static_cast<std::uint32_t>(r.Status) ^ 0x80000000u;
}

std::string_view StatusLabel(const ReportContext&, const LogRecord& r, LabelStore& labels) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof(text), r.Status);
  return labels.Add(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

}  // namespace

// Status codes: one row per code, in ascending order of the codes.
const RowReport kStatusCodesReport{
    .SortByCount = false,
    .Number = StatusKey,
    .MakeLabel = StatusLabel,
};

}  // namespace tw
