#include "analysis/row_report.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "analysis/group_count.h"
#include "analysis/report_result.h"
#include "analysis/selection.h"

namespace tw {

namespace {

// The order of the rows: the major key ascending, then the text byte-wise
// ascending (an absent text first; equal bytes from two pools by address) or
// the number ascending.
void OrderGroups(const RowReport& report, std::vector<GroupCounter::Group>& groups) {
  using Group = GroupCounter::Group;
  if (report.Text == nullptr) {
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
      return a.major != b.major ? a.major < b.major : a.minor < b.minor;
    });
    return;
  }
  std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
    if (a.major != b.major) return a.major < b.major;
    const char* ta = TextOfRef(static_cast<TextRef>(a.minor));
    const char* tb = TextOfRef(static_cast<TextRef>(b.minor));
    if (ta == nullptr || tb == nullptr) return ta == nullptr && tb != nullptr;
    // strcmp orders by unsigned bytes, a prefix first.
    const int c = std::strcmp(ta, tb);
    return c != 0 ? c < 0 : a.minor < b.minor;
  });
}

// Every counted record of the selection in its group: the text's ref or the
// number, under the major key biased so that signed order reads as unsigned.
std::vector<GroupCounter::Group> CountGroups(const ReportContext& context, const RowReport& report,
                                             const std::vector<const LogRecord*>& selected) {
  GroupCounter counter;
  const std::size_t n = selected.size();
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(selected, i, n);
    const LogRecord& r = *selected[i];
    if (report.Counts != nullptr && !report.Counts(context, r)) continue;
    std::uint32_t major = 0;
    std::uint64_t minor = 0;
    if (report.Text != nullptr) {
      minor = r.*report.Text;
    } else {
      minor = report.Number(context, r);
    }
    if (report.Major != nullptr) {
      major = static_cast<std::uint32_t>(report.Major(r)) ^ 0x80000000u;
      if (report.Text == nullptr) minor &= 0xFFFFFFFFu;  // a major key leaves the number 32 bits
    }
    counter.Add(major, minor, static_cast<std::uint32_t>(i));
  }
  return counter.Take();
}

std::string_view TextLabel(const char* text) {
  return text != nullptr ? std::string_view(text) : std::string_view();
}

}  // namespace

void CountRowReport(const ReportContext& context, const RowReport& report, ReportResult& result) {
  std::vector<GroupCounter::Group> groups = CountGroups(context, report, result.selected);
  OrderGroups(report, groups);
  result.rows.reserve(groups.size());
  for (const GroupCounter::Group& g : groups) {
    const LogRecord& record = *result.selected[g.first];
    const std::string_view label = report.MakeLabel != nullptr
                                       ? report.MakeLabel(context, record, result.labels)
                                       : TextLabel(TextOfRef(record.*report.Text));
    result.rows.push_back(ReportRow{label, g.count, g.first});
  }
}

RowMembers::RowMembers(const ReportContext& context, const RowReport& report,
                       const LogRecord& first)
    : context_(context), report_(report) {
  if (report.Text != nullptr) {
    text_ = first.*report.Text;
  } else {
    key_ = report.Number(context, first);
  }
}

bool RowMembers::Contains(const LogRecord& record) const {
  if (report_.Counts != nullptr && !report_.Counts(context_, record)) return false;
  if (report_.Text != nullptr) return record.*report_.Text == text_;
  return report_.Number(context_, record) == key_;
}

}  // namespace tw
