#include "log/virtual_hosts.h"
#include "analysis/report_kinds.h"

namespace tw {

namespace {

// 0 for a record without a virtual host: it is of the log's own site.
std::uint64_t HostNumber(const ReportContext& context, const LogRecord& r) {
  return context.virtual_hosts != nullptr ? context.virtual_hosts->NumberOf(r) : 0;
}

std::string_view HostLabel(const ReportContext& context, const LogRecord& r, LabelStore& labels) {
  const auto number = static_cast<std::uint32_t>(HostNumber(context, r));
  // A copy: the result may outlive the loaded log's site name.
  if (number == 0) return labels.Add(context.site_name);
  return context.virtual_hosts->Text(number);
}

}  // namespace

// Virtual hosts: one row per host the lines name, port dropped and letter case
// ignored, most requested first; equal counts in the order the hosts first
// appear. A log whose format names none is one row, its site.
const RowReport kVirtualHostsReport{
    .SortByCount = true,
    .Number = HostNumber,
    .MakeLabel = HostLabel,
};

}  // namespace tw
