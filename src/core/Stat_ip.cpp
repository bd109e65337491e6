#include <arpa/inet.h>

#include <cstdint>
#include <string_view>

#include "Loadlog_client_address.h"
#include "Loadlog_parser_fields.h"
#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

namespace {

std::uint64_t AddressKey(const TSDIAppForm& form, const LogRecord& r) {
  return ClientOrderKey(form.Ipv6Addresses.get(), r);
}

const char* AddressLabel(const TSDIAppForm& form, const LogRecord& r) {
  return NewLabel(FormatClientAddress(form.Ipv6Addresses.get(), r));
}

// The label read back as an address; a label that does not read lists nothing.
bool AddressLabelKey(const TSDIAppForm& form, const char* label, std::uint64_t* key) {
  if (std::string_view(label).find(':') == std::string_view::npos) {
    std::uint32_t ip = 0;
    if (ParseIp(label, &ip) != 0) return false;
    *key = ip;
    return true;
  }
  Ipv6Bytes bytes{};
  std::uint32_t index = 0;
  if (form.Ipv6Addresses == nullptr || inet_pton(AF_INET6, label, bytes.data()) != 1 ||
      !form.Ipv6Addresses->Find(bytes, &index)) {
    return false;
  }
  LogRecord probe;
  probe.ClientIp = index;
  probe.IsIpv6 = 1;
  *key = ClientOrderKey(form.Ipv6Addresses.get(), probe);
  return true;
}

}  // namespace

// Client addresses: one row per address, most active first; in the report's
// own order IPv4 addresses numerically, then IPv6 addresses by their bytes.
// Hosts that were no address carry address 0 and share the row 0.0.0.0.
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
