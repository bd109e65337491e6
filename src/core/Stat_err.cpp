#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

namespace {

// Signed order as unsigned: flip the sign bit.
std::uint64_t StatusKey(const TSDIAppForm&, const LogRecord& r) {
  return static_cast<std::uint32_t>(r.Status) ^ 0x80000000u;
}

const char* StatusLabel(const TSDIAppForm&, const LogRecord& r) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof(text), r.Status);
  return NewLabel(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

// The label read back as a decimal number (blanks, optional sign, digits).
bool StatusLabelKey(const TSDIAppForm&, const char* label, std::uint64_t* key) {
  const long status = std::strtol(label, nullptr, 10);
  if (status < INT32_MIN || status > INT32_MAX) return false;
  *key = static_cast<std::uint32_t>(static_cast<std::int32_t>(status)) ^ 0x80000000u;
  return true;
}

}  // namespace

// Status codes: one row per code, in ascending order of the codes.
const RowReport kStatusCodesReport{
    .Kind = 5,
    .SortByCount = false,
    .Number = StatusKey,
    .MakeLabel = StatusLabel,
    .LabelKey = StatusLabelKey,
};

void TSDIAppForm::ReportStatusCodes(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kStatusCodesReport, selected, count);
}

}  // namespace tw
