// Properties of every report over generated logs, read from the table as the
// user sees it: the rows add up to the records the report counts, the totals
// row holds the sums, the chart agrees with the table, and the details of a
// row list exactly that row's records, oldest first.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "analysis/report_kinds.h"
#include "form/form.h"
#include "log/client_address.h"
#include "log/record.h"
#include "log/virtual_hosts.h"
#include "properties_support.h"

namespace tw {
namespace {

using testing::CellNumber;
using testing::MixedLog;
using testing::MixedLogOptions;
using testing::PropertyFixture;

// Days per month number outside leap years.
constexpr int kDayRows[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool Is(const ReportKindInfo& kind, std::string_view name) { return kind.CliName == name; }

bool IsTimeKind(const ReportKindInfo& kind) { return Is(kind, "day") || Is(kind, "hour"); }

// The days of the month of the record in the middle of the log, the month
// and year the reports analyse.
int MiddleMonthDays(const TSDIAppForm& form) {
  if (form.RecordCount() <= 0) return 31;  // January 2008
  const LogTime t = (*form.Records())[form.RecordCount() / 2]->LogTime;
  const int year = LogYear(t), month = LogMonth(t);
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDayRows[month] + (month == 2 && leap ? 1 : 0);
}

// Whether the report of `kind` counts the selected record `r`, and so whether
// `r` belongs to one of its rows.
bool Counts(const TSDIAppForm& /*form*/, const ReportKindInfo& kind, const LogRecord& r) {
  if (Is(kind, "day") || Is(kind, "weekday")) return IsCalendarDate(r.LogTime);
  if (Is(kind, "hour")) return LogHour(r.LogTime) < 24;
  if (Is(kind, "catalogues")) return r.ReferrerKind == RefExternal;
  if (Is(kind, "engines")) return r.ReferrerKind == RefSearchEngine;
  if (Is(kind, "phrases")) return r.ReferrerKind == RefSearchEngine && r.SearchPhrase() != nullptr;
  if (Is(kind, "not-found")) return r.Status == 404;
  return true;
}

long long CountedRecords(const TSDIAppForm& form, const ReportKindInfo& kind) {
  long long counted = 0;
  for (std::int32_t i = 0; i < form.SelectedCount(); ++i) counted += Counts(form, kind, *form.Report().selected[static_cast<std::size_t>(i)]);
  return counted;
}

// The whole number in a text such as "Total: 12 rows", or -1.
long long NumberIn(const std::string& text) {
  const std::size_t digit = text.find_first_of("0123456789");
  return digit == std::string::npos ? -1 : std::stoll(text.substr(digit));
}

// The label a listed record carries in the column that names its row, or
// empty when the kind has no such single field.
std::string RowFieldOf(const TSDIAppForm& form, const ReportKindInfo& kind, const LogRecord& r) {
  auto text = [](const char* t) { return t != nullptr ? std::string(t) : std::string("(none)"); };
  if (Is(kind, "pages") || Is(kind, "not-found")) return text(r.Url());
  if (Is(kind, "status")) return std::to_string(r.Status);
  if (Is(kind, "addresses")) return FormatClientAddress(form.Ipv6Addresses(), r);
  if (Is(kind, "domains")) return text(r.ReferrerDomain());
  if (Is(kind, "referrers") || Is(kind, "catalogues")) return text(r.Referrer());
  if (Is(kind, "engines")) return form.Engines.EngineNames[static_cast<std::size_t>(r.EngineIndex)];
  if (Is(kind, "phrases")) return text(r.SearchPhrase());
  if (Is(kind, "browsers")) return text(r.UserAgent());
  if (Is(kind, "vhosts")) {
    const VirtualHostColumn* hosts = form.Log()->virtual_hosts.get();
    const std::uint32_t number = hosts != nullptr ? hosts->NumberOf(r) : 0;
    return number != 0 ? std::string(hosts->Text(number)) : form.Log()->site_name;
  }
  ADD_FAILURE() << "no row field known for the kind " << kind.CliName;
  return {};
}

// The log as a vhost_combined one: each line after one of a few hosts, spelt
// in differing letter case, some with a port.
std::string WithVirtualHosts(const std::string& log) {
  static const char* const kHosts[] = {"Shop.Example:80 ", "b.example:443 ", "shop.example:443 ",
                                       "C.example ", "b.EXAMPLE:80 "};
  std::string out = kHosts[0];
  for (std::size_t i = 0; i + 1 < log.size(); ++i) {
    out += log[i];
    if (log[i] == '\n') out += kHosts[(i * 7 + i / 3) % std::size(kHosts)];
  }
  return out + log.back();
}

std::size_t Descendants(const TreeNode& node) {
  std::size_t n = node.Children.size();
  for (const auto& child : node.Children) n += Descendants(*child);
  return n;
}

class ReportPropertyTest : public PropertyFixture {
 protected:
  // Checks the table and chart of the report just run; `what` names the run.
  void CheckSums(const ReportKindInfo& kind, const std::string& what) {
    SCOPED_TRACE(what);
    const StatGrid& grid = form_->StringGrid1;
    const int rows = grid.RowCount() - 2;
    const long long counted = CountedRecords(*form_, kind);
    if (rows == 0) {
      EXPECT_EQ(counted, 0);
      EXPECT_TRUE(form_->Chart1.Empty());
      return;
    }
    const int totals = rows + 1;
    if (IsTimeKind(kind)) {
      EXPECT_EQ(rows, Is(kind, "day") ? MiddleMonthDays(*form_) : 24);
      long long sums[4] = {0, 0, 0, 0};  // hits, good hits, hosts, visits
      for (int row = 1; row <= rows; ++row) {
        const long long hits = CellNumber(grid, 2, row), good = CellNumber(grid, 3, row),
                        hosts = CellNumber(grid, 4, row), visits = CellNumber(grid, 5, row);
        EXPECT_TRUE(good <= hits && hosts <= hits && visits <= hits && hosts <= visits &&
                    visits <= good && hosts >= 0)
            << "row " << row << ": hits " << hits << ", good " << good << ", hosts " << hosts
            << ", visits " << visits;
        const long long values[4] = {hits, good, hosts, visits};
        for (int m = 0; m < 4; ++m) {
          sums[m] += values[m];
          const auto& points = form_->Chart1.Lines[static_cast<std::size_t>(m)].Points;
          EXPECT_EQ(points[static_cast<std::size_t>(row - 1)].Y, static_cast<double>(values[m]))
              << "series " << m << ", row " << row;
        }
      }
      EXPECT_EQ(sums[0], counted) << "hits of all rows against the records with a row";

      // Per row: good hits are the records below status 400, and hosts are at
      // most the addresses with such a record in one run (a calendar day, or
      // an hour).
      std::vector<long long> good(static_cast<std::size_t>(rows), 0);
      std::vector<std::set<std::pair<std::uint64_t, std::uint32_t>>> addresses(static_cast<std::size_t>(rows));
      for (std::int32_t i = 0; i < form_->SelectedCount(); ++i) {
        const LogRecord& r = *form_->Report().selected[static_cast<std::size_t>(i)];
        if (!Counts(*form_, kind, r) || r.Status >= 400) continue;
        const int row = Is(kind, "day") ? LogDay(r.LogTime) - 1 : LogHour(r.LogTime);
        const std::uint32_t run = Is(kind, "day") ? r.LogTime & 0x7FFF : 0;  // day, month and year
        ++good[static_cast<std::size_t>(row)];
        addresses[static_cast<std::size_t>(row)].insert(
            {std::uint64_t{run} | std::uint64_t{r.IsIpv6} << 32, r.ClientIp});
      }
      for (int row = 1; row <= rows; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        EXPECT_EQ(CellNumber(grid, 3, row), good[i]) << "good hits of row " << row;
        EXPECT_LE(CellNumber(grid, 4, row), static_cast<long long>(addresses[i].size())) << "hosts of row " << row;
        EXPECT_EQ(CellNumber(grid, 4, row) > 0, !addresses[i].empty()) << "hosts of row " << row;
      }
      for (int m = 0; m < 4; ++m) EXPECT_EQ(CellNumber(grid, 2 + m, totals), sums[m]) << "totals column " << 2 + m;
      EXPECT_EQ(NumberIn(grid.Cell(1, totals)), rows);
      return;
    }

    long long sum = 0;
    long long previous_code = 0;
    double shares = 0;
    std::vector<long long> counts;
    std::set<std::string> labels;
    for (int row = 1; row <= rows; ++row) {
      const long long count = CellNumber(grid, 2, row);
      // One row per group: a group split in two would show its label twice.
      EXPECT_TRUE(labels.insert(grid.Cell(1, row)).second) << "label of row " << row << " shown before: " << grid.Cell(1, row);
      counts.push_back(count);
      sum += count;
      shares += std::stod(grid.Cell(3, row));
      if (Is(kind, "status")) {
        // Status codes keep ascending codes.
        const long long code = CellNumber(grid, 1, row);
        if (row > 1) {
          EXPECT_LT(previous_code, code) << "status row " << row;
        }
        previous_code = code;
      } else if (!Is(kind, "weekday") && row > 1) {
        EXPECT_LE(count, counts[counts.size() - 2]) << "row " << row << " is larger than the one above";
      }
    }
    if (Is(kind, "weekday")) {
      EXPECT_EQ(rows, 7);
    }
    EXPECT_EQ(sum, counted) << "counts of all rows against the records the report counts";
    EXPECT_EQ(CellNumber(grid, 2, totals), sum) << "totals row";
    EXPECT_EQ(NumberIn(grid.Cell(1, totals)), rows) << "totals row";
    if (sum > 0) {
      EXPECT_NEAR(shares, 100.0, 0.005 * rows + 1e-6);
    }

    // The pie: the ten largest rows in the table's order, then the remainder.
    const ChartSeries& chart = form_->Chart1;
    ASSERT_TRUE(chart.HasPie);
    const std::size_t slices = std::min<std::size_t>(counts.size(), 10);
    ASSERT_EQ(chart.Pie.size(), slices + 1);
    double top = 0;
    for (std::size_t i = 0; i < slices; ++i) {
      EXPECT_EQ(chart.Pie[i].Value, static_cast<double>(counts[i])) << "slice " << i;
      top += chart.Pie[i].Value;
      // Column 0 of the slice's row is its legend.
      EXPECT_EQ(form_->StringGrid1DrawCell(0, static_cast<int>(i) + 1), std::optional<Rgb>(chart.Pie[i].Colour))
          << "swatch of row " << i + 1;
    }
    if (rows > static_cast<int>(slices)) {
      EXPECT_NE(form_->StringGrid1DrawCell(0, static_cast<int>(slices) + 1), std::optional<Rgb>(chart.Pie[slices - 1].Colour))
          << "a row without a slice has no swatch";
    }
    EXPECT_EQ(chart.Pie[slices].Value, static_cast<double>(sum) - top) << "remainder slice";
  }
};

TEST_F(ReportPropertyTest, RowsAddUpToTheRecordsEachReportCountsUnderEveryFilter) {
  for (std::uint64_t seed : {21, 22, 23}) {
    MixedLogOptions options;
    options.seed = seed;
    options.generated_lines = 2500;
    options.month_span = seed == 22 ? 2 : 1;
    if (seed == 23) {
      // February of a common year: 29 day rows, a 29th that is no date, and 30ths and 31sts.
      options.start_year = 2023;
      options.start_month = 2;
    }
    form_->LoadLog(WriteLog(MixedLog(options)));
    ASSERT_GT(form_->RecordCount(), 2000) << "seed " << seed;

    for (int filter = 1; filter <= 3; ++filter) {
      // The whole site, and the largest section of the tree under this filter.
      ChooseFilter(*form_, filter);
      const TreeNode* root = form_->TreeView1.Root.get();
      ASSERT_NE(root, nullptr);
      std::vector<std::string> sections = {"/"};
      const TreeNode* largest = nullptr;
      for (const auto& child : root->Children) {
        if (largest == nullptr || Descendants(*child) > Descendants(*largest)) largest = child.get();
      }
      if (largest != nullptr) sections.push_back("/" + largest->Text);
      for (const std::string& section : sections) {
        for (bool skip_crawlers : {false, true}) {
          for (const ReportKindInfo* kind : testing::PropertyKinds()) {
            Run(*form_, *kind, skip_crawlers, section);
            CheckSums(*kind, "seed " + std::to_string(seed) + ", filter " + std::to_string(filter) +
                                 ", section " + section + ", crawlers " +
                                 (skip_crawlers ? "dropped" : "kept") + ", kind " + kind->CliName);
          }
        }
      }
    }
  }
}

TEST_F(ReportPropertyTest, DetailsOfEveryRowListExactlyItsRecordsOldestFirst) {
  for (std::uint64_t seed : {31, 32, 33}) {
    MixedLogOptions options;
    options.seed = seed;
    options.generated_lines = 1500;
    const std::string log = MixedLog(options);
    form_->LoadLog(WriteLog(seed == 33 ? WithVirtualHosts(log) : log));
    const bool skip_crawlers = seed == 32;
    const int filter = seed == 32 ? 1 : 3;

    ChooseFilter(*form_, filter);
    for (const ReportKindInfo* kind_entry : testing::PropertyKinds()) {
      const ReportKindInfo& kind = *kind_entry;
      Run(*form_, kind, skip_crawlers);
      SCOPED_TRACE("seed " + std::to_string(seed) + ", kind " + kind.CliName);
      const int rows = form_->StringGrid1.RowCount() - 2;
      const std::set<const LogRecord*> selected(form_->Report().selected.begin(), form_->Report().selected.end());
      std::set<const LogRecord*> listed_anywhere;
      long long listed_total = 0;
      for (int row = 1; row <= rows; ++row) {
        form_->StringGrid1.Row = row;
        form_->onStringGrid1Click();
        ASSERT_TRUE(form_->Button2.Enabled) << "row " << row;
        form_->Button2Click();
        const RawLogGrid& raw = form_->StringGrid2;
        const int listed = raw.RowCount() - 2;
        EXPECT_EQ(listed, CellNumber(form_->StringGrid1, 2, row)) << "row " << row;
        listed_total += listed;
        const std::string label = form_->StringGrid1.Cell(1, row);
        for (int r = 1; r <= listed; ++r) {
          const LogRecord* record = raw.RecordAt(r);
          ASSERT_NE(record, nullptr);
          EXPECT_EQ(selected.count(record), 1u) << "row " << row << " lists a record not selected";
          EXPECT_TRUE(listed_anywhere.insert(record).second)
              << "row " << row << " lists a record another row listed";
          if (r > 1) {
            EXPECT_LE(CompareLogTime(raw.RecordAt(r - 1)->LogTime, record->LogTime), 0)
                << "row " << row << ": raw rows " << r - 1 << " and " << r << " out of time order";
          }
          if (Is(kind, "day")) {
            EXPECT_EQ(LogDay(record->LogTime), row);
          } else if (Is(kind, "hour")) {
            EXPECT_EQ(LogHour(record->LogTime), row - 1);
          } else if (Is(kind, "weekday")) {
            EXPECT_EQ(DayOfWeek(record->LogTime), row - 1);
          } else {
            EXPECT_EQ(RowFieldOf(*form_, kind, *record), label) << "row " << row;
          }
        }
        if (listed > 0) {
          EXPECT_EQ(raw.Cell(0, 1), "1");
          EXPECT_EQ(raw.Cell(0, listed), std::to_string(listed));
        }
      }
      EXPECT_EQ(listed_total, CountedRecords(*form_, kind)) << "records listed under all rows";

      // The totals row lists nothing: the details button is off there.
      form_->StringGrid1.Row = rows + 1;
      form_->onStringGrid1Click();
      EXPECT_FALSE(form_->Button2.Enabled);
    }
  }
}

// A load without referrers serves every kind whose entry says it reads none of
// them exactly as a full load does, and would spoil every kind that reads them.
TEST_F(ReportPropertyTest, ReferrersLeftOutChangeNoReportThatDoesNotReadThem) {
  MixedLogOptions options;
  options.seed = 41;
  options.generated_lines = 2000;
  const std::string log = WriteLog(MixedLog(options));
  auto csv_of = [&](bool keep_referrers, const ReportKindInfo& info) {
    TSDIAppForm form(platform_);
    form.KeepReferrers = keep_referrers;
    form.LoadLog(log);
    EXPECT_EQ(form.RecordCount(), form_->RecordCount());
    Run(form, info, true);
    std::string csv;
    form.WriteCsvTo([&](std::string_view bytes) {
      csv.append(bytes);
      return true;
    });
    return csv;
  };
  form_->LoadLog(log);
  ASSERT_GT(form_->RecordCount(), 1000);
  for (const ReportKindInfo& info : kReportKinds) {
    if (info.Places != GeoLevel::kNone) continue;  // no location database here
    SCOPED_TRACE(info.CliName);
    const std::string full = csv_of(true, info);
    if (info.ReadsReferrers) {
      EXPECT_NE(csv_of(false, info), full);
    } else {
      EXPECT_EQ(csv_of(false, info), full);
    }
  }
}

}  // namespace
}  // namespace tw
