#include "Stat_row_report.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Loadlog_carray.h"
#include "Main_form.h"
#include "Stat_group_count.h"
#include "Stat_kinds.h"
#include "Stat_rows.h"
#include "Stat_selection.h"

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

// Every counted record of selected[0, n) in its group: the text's ref or
// the number, under the major key biased so that signed order reads as unsigned.
std::vector<GroupCounter::Group> CountGroups(const TSDIAppForm& form, const RowReport& report,
                                             const std::vector<const LogRecord*>& selected,
                                             std::size_t n) {
  GroupCounter counter;
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(selected, i, n);
    const LogRecord& r = *selected[i];
    if (report.Counts != nullptr && !report.Counts(form, r)) continue;
    std::uint32_t major = 0;
    std::uint64_t minor = 0;
    if (report.Text != nullptr) {
      minor = r.*report.Text;
    } else {
      minor = report.Number(form, r);
    }
    if (report.Major != nullptr) {
      major = static_cast<std::uint32_t>(report.Major(r)) ^ 0x80000000u;
      if (report.Text == nullptr) minor &= 0xFFFFFFFFu;  // a major key leaves the number 32 bits
    }
    counter.Add(major, minor, static_cast<std::uint32_t>(i));
  }
  return counter.Take();
}

void AppendRow(TSDIAppForm& form, const RowReport& report, const LogRecord& record,
               std::int32_t count) {
  ReportRow row;
  row.Label = report.MakeLabel != nullptr ? report.MakeLabel(form, record)
                                         : TextOfRef(record.*report.Text);
  row.Count = count;
  if (CARRAY_Add(form.Rows, &row) == nullptr && KindOwnsRowLabels(report.Kind)) {
    delete[] row.Label;
  }
}

}  // namespace

void RunRowReport(TSDIAppForm& form, const RowReport& report,
                  std::vector<const LogRecord*>& selected, std::int32_t count) {
  const std::size_t n = std::min<std::size_t>(selected.size(), count > 0 ? count : 0);
  std::vector<GroupCounter::Group> groups = CountGroups(form, report, selected, n);
  OrderGroups(report, groups);
  for (const GroupCounter::Group& g : groups) AppendRow(form, report, *selected[g.first], g.count);

  const ReportKindInfo* info = FindReportKind(report.Kind);
  const char* header_id = info != nullptr && info->HeaderId != nullptr ? info->HeaderId : "";
  form.ShowRowTable(form.Lang.Get(header_id), report.SortByCount);
}

char* NewLabel(std::string_view text) {
  char* label = new char[text.size() + 1];
  if (!text.empty()) std::memcpy(label, text.data(), text.size());
  label[text.size()] = '\0';
  return label;
}

RowMembers::RowMembers(const TSDIAppForm& form, const RowReport& report, const char* label)
    : form_(form), report_(report), label_(label) {
  if (report.Text == nullptr) {
    readable_ =
        report.LabelKey != nullptr && label != nullptr && report.LabelKey(form, label, &key_);
  }
}

bool RowMembers::Contains(const LogRecord& record) const {
  if (!readable_) return false;
  if (report_.Counts != nullptr && !report_.Counts(form_, record)) return false;
  if (report_.Text != nullptr) return TextOfRef(record.*report_.Text) == label_;
  return report_.Number(form_, record) == key_;
}

const RowReport* FindRowReport(int kind) {
  const ReportKindInfo* info = FindReportKind(kind);
  return info != nullptr ? info->Rows : nullptr;
}

}  // namespace tw
