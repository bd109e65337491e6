#include "Stat_row_report.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "Loadlog_carray.h"
#include "Main_form.h"
#include "Stat_kinds.h"
#include "Stat_rows.h"

namespace tw {

namespace {

// A record's position in `selected` with its packed order key. Sorting these
// by (key, position) instead of the record pointers by a comparator keeps
// the sort away from the records and texts.
struct KeyedEntry {
  std::uint64_t key;
  std::uint32_t position;
  friend bool operator<(const KeyedEntry& a, const KeyedEntry& b) {
    return a.key != b.key ? a.key < b.key : a.position < b.position;
  }
};

// For each of the first n records that the report counts, the rank of its
// text in `field` among the distinct texts present, in byte order: an absent
// text ranks 0, the others from 1 (uncounted records rank 0 and are left out
// of the comparisons). Equal pointers rank equal and distinct pointers rank
// distinct, so the rank serves both the order and the identity test. Texts are
// compared once per distinct pointer, not once per record.
std::vector<std::uint32_t> RankTexts(const std::vector<const LogRecord*>& selected, std::size_t n,
                                     const char* LogRecord::*field,
                                     const std::vector<std::uint8_t>& counted) {
  std::vector<std::pair<std::uintptr_t, std::uint32_t>> by_pointer;
  by_pointer.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (!counted[i]) continue;
    by_pointer.emplace_back(reinterpret_cast<std::uintptr_t>(selected[i]->*field),
                            static_cast<std::uint32_t>(i));
  }
  std::sort(by_pointer.begin(), by_pointer.end());

  // The distinct non-null texts, each with the number of its run in by_pointer.
  std::vector<std::pair<const char*, std::uint32_t>> distinct;
  std::uint32_t runs = 0;
  for (std::size_t i = 0; i < by_pointer.size(); ++i) {
    if (i > 0 && by_pointer[i].first == by_pointer[i - 1].first) continue;
    if (by_pointer[i].first != 0) {
      distinct.emplace_back(reinterpret_cast<const char*>(by_pointer[i].first), runs);
    }
    ++runs;
  }
  // strcmp orders by unsigned bytes, a prefix first: the order of CompareTextBytes.
  std::sort(distinct.begin(), distinct.end(), [](const auto& a, const auto& b) {
    const int c = std::strcmp(a.first, b.first);
    return c != 0 ? c < 0 : a.second < b.second;  // equal bytes in two pools: by address
  });
  std::vector<std::uint32_t> rank_of_run(runs, 0);  // the run of a null pointer keeps rank 0
  for (std::size_t j = 0; j < distinct.size(); ++j) {
    rank_of_run[distinct[j].second] = static_cast<std::uint32_t>(j + 1);
  }

  std::vector<std::uint32_t> rank(n, 0);
  std::uint32_t run = 0;
  for (std::size_t i = 0; i < by_pointer.size(); ++i) {
    if (i > 0 && by_pointer[i].first != by_pointer[i - 1].first) ++run;
    rank[by_pointer[i].second] = rank_of_run[run];
  }
  return rank;
}

// Sorts selected[0, n) by the report's order, ties in their present order, and
// returns the sorted entries with their keys; among counted records, equal keys
// mean the same group. Records the report does not count have no key of their
// own (0) and sit among their Major peers in their present order.
std::vector<KeyedEntry> SortByReportKey(const TSDIAppForm& form, const RowReport& report,
                                        std::vector<const LogRecord*>& selected, std::size_t n,
                                        const std::vector<std::uint8_t>& counted) {
  std::vector<std::uint32_t> ranks;
  if (report.Text != nullptr) ranks = RankTexts(selected, n, report.Text, counted);

  std::vector<KeyedEntry> entries(n);
  for (std::size_t i = 0; i < n; ++i) {
    const LogRecord& r = *selected[i];
    // Bias the signed major key so that it orders as unsigned.
    const std::uint32_t major =
        report.Major != nullptr ? static_cast<std::uint32_t>(report.Major(r)) ^ 0x80000000u : 0;
    std::uint64_t minor = 0;
    if (counted[i]) minor = report.Text != nullptr ? ranks[i] : report.Number(form, r);
    const std::uint64_t key =
        report.Major != nullptr ? (std::uint64_t{major} << 32) | (minor & 0xFFFFFFFFu) : minor;
    entries[i] = {key, static_cast<std::uint32_t>(i)};
  }
  std::sort(entries.begin(), entries.end());

  std::vector<const LogRecord*> sorted(n);
  for (std::size_t i = 0; i < n; ++i) sorted[i] = selected[entries[i].position];
  std::copy(sorted.begin(), sorted.end(), selected.begin());
  return entries;
}

void AppendRow(TSDIAppForm& form, const RowReport& report, const LogRecord& record,
               std::int32_t count) {
  ReportRow row;
  row.Label = report.MakeLabel != nullptr ? report.MakeLabel(form, record) : record.*report.Text;
  row.Count = count;
  if (CARRAY_Add(form.Rows, &row) == nullptr && KindOwnsRowLabels(report.Kind)) {
    delete[] row.Label;
  }
}

}  // namespace

void RunRowReport(TSDIAppForm& form, const RowReport& report,
                  std::vector<const LogRecord*>& selected, std::int32_t count) {
  const std::size_t n = std::min<std::size_t>(selected.size(), count > 0 ? count : 0);
  std::vector<std::uint8_t> counted(n, 1);
  if (report.Counts != nullptr) {
    for (std::size_t i = 0; i < n; ++i) counted[i] = report.Counts(form, *selected[i]);
  }
  const std::vector<KeyedEntry> entries = SortByReportKey(form, report, selected, n, counted);

  // One run over the counted records; uncounted ones neither join nor close a group.
  const LogRecord* group_record = nullptr;
  std::uint64_t group_key = 0;
  std::int32_t group_count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const LogRecord& r = *selected[i];
    if (!counted[entries[i].position]) continue;
    if (group_count > 0 && entries[i].key == group_key) {
      ++group_count;
      continue;
    }
    if (group_count > 0) AppendRow(form, report, *group_record, group_count);
    group_record = &r;
    group_key = entries[i].key;
    group_count = 1;
  }
  if (group_count > 0) AppendRow(form, report, *group_record, group_count);

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
  if (report_.Text != nullptr) return record.*report_.Text == label_;
  return report_.Number(form_, record) == key_;
}

const RowReport* FindRowReport(int kind) {
  const ReportKindInfo* info = FindReportKind(kind);
  return info != nullptr ? info->Rows : nullptr;
}

}  // namespace tw
