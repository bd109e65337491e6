#include <cstdint>

#include "analysis/report_kinds.h"
#include "log/client_address.h"

namespace tw {

namespace {

std::uint64_t AddressKey(const ReportContext& context, const LogRecord& r) {
  return ClientOrderKey(context.ipv6, r);
}

std::string_view AddressLabel(const ReportContext& context, const LogRecord& r,
                              LabelStore& labels) {
  return labels.Add(FormatClientAddress(context.ipv6, r));
}

}  // namespace

// Client addresses: one row per address, most active first; in the report's
// own order IPv4 addresses numerically, then IPv6 addresses by their bytes.
// Hosts that were no address carry address 0 and share the row 0.0.0.0.
const RowReport kAddressesReport{
    .SortByCount = true,
    .Number = AddressKey,
    .MakeLabel = AddressLabel,
};

}  // namespace tw
