#include <cstdint>

#include "Loadlog_parser_fields.h"
#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

namespace {

std::uint32_t AddressKey(const LogRecord& r) { return r.ClientIp; }

const char* AddressLabel(const TSDIAppForm&, const LogRecord& r) {
  return NewLabel(FormatIp(r.ClientIp));
}

// The label read back as an address; a label that does not read lists nothing.
bool AddressLabelKey(const TSDIAppForm&, const char* label, std::uint32_t* key) {
  return ParseIp(label, key) == 0;
}

}  // namespace

// Client addresses: one row per address, most active first. Hosts that were
// not dotted quads carry address 0 and share the row 0.0.0.0.
const RowReport kAddressesReport{
    .Kind = 6,
    .SortByCount = true,
    .Number = AddressKey,
    .MakeLabel = AddressLabel,
    .LabelKey = AddressLabelKey,
};

void TSDIAppForm::ReportAddresses(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kAddressesReport, selected, count);
}

}  // namespace tw
