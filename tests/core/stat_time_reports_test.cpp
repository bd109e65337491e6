// The reports by day, by hour and by day of the week, read back from the
// statistics table as the user sees it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/report_kinds.h"
#include "form/form.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;

struct Counts {
  int hits, good_hits, hosts, visits;
  friend bool operator==(const Counts&, const Counts&) = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << "{" << c.hits << ", " << c.good_hits << ", " << c.hosts << ", " << c.visits << "}";
}

class TimeReportsTest : public testing::ReportFixture {
 protected:
  void RunKind(const char* kind) {
    form_->CheckReportButton(FindReportKindByName(kind));
    form_->RequestFilter = 3;
    form_->CheckBox1.Checked = false;
    form_->RunAnalysis();
  }
  int DataRows() const { return form_->StringGrid1.RowCount() - 2; }
  std::string Label(int row) const { return form_->StringGrid1.Cell(1, row); }
  Counts At(int row) const {
    const StatGrid& g = form_->StringGrid1;
    return {std::stoi(g.Cell(2, row)), std::stoi(g.Cell(3, row)), std::stoi(g.Cell(4, row)),
            std::stoi(g.Cell(5, row))};
  }
  // The totals row, whose counts come after the label cells.
  Counts Totals() const { return At(form_->StringGrid1.RowCount() - 1); }
};

LogLine Hit(const std::string& ip, const std::string& time, const std::string& status = "200") {
  return {.ip = ip, .time = time, .status = status};
}

TEST_F(TimeReportsTest, DayReportCountsByTheRunRule) {
  const std::string a = "1.1.1.1", b = "2.2.2.2";
  const struct {
    const char* name;
    std::vector<LogLine> lines;
    int day;
    Counts expected;
  } cases[] = {
      {"one 200", {Hit(a, "05/Mar/2008:10:00:00")}, 5, {1, 1, 1, 1}},
      {"one 404", {Hit(a, "05/Mar/2008:10:00:00", "404")}, 5, {1, 0, 0, 0}},
      {"one address at :05 and :30",
       {Hit(a, "05/Mar/2008:10:05:00"), Hit(a, "05/Mar/2008:10:30:00")}, 5, {2, 2, 1, 2}},
      {"one address at :05 and :12",
       {Hit(a, "05/Mar/2008:10:05:00"), Hit(a, "05/Mar/2008:10:12:00")}, 5, {2, 2, 1, 1}},
      // Only minutes enter the visit test, and the day sort ignores the hour.
      {"one address at 10:50 and 11:10",
       {Hit(a, "05/Mar/2008:10:50:00"), Hit(a, "05/Mar/2008:11:10:00")}, 5, {2, 2, 1, 2}},
      {"one address at 10:50 and 15:55",
       {Hit(a, "05/Mar/2008:10:50:00"), Hit(a, "05/Mar/2008:15:55:00")}, 5, {2, 2, 1, 1}},
      {"two addresses",
       {Hit(b, "05/Mar/2008:10:00:00"), Hit(a, "05/Mar/2008:10:00:00")}, 5, {2, 2, 2, 2}},
      {"a 404 followed by another address",
       {Hit(a, "05/Mar/2008:10:00:00", "404"), Hit(b, "05/Mar/2008:10:00:00")}, 5, {2, 1, 1, 1}},
      {"a 404 closing its day: the address is still a host",
       {Hit(a, "05/Mar/2008:10:00:00"), Hit(a, "05/Mar/2008:10:01:00", "404")}, 5, {2, 1, 1, 1}},
      {"status 399 counts as good",
       {Hit(a, "05/Mar/2008:10:00:00", "399")}, 5, {1, 1, 1, 1}},
      // IPv6 clients are told apart like IPv4 ones.
      {"two IPv6 addresses",
       {Hit("2001:db8::1", "05/Mar/2008:10:00:00"), Hit("2001:db8::2", "05/Mar/2008:10:00:00")},
       5, {2, 2, 2, 2}},
      {"one IPv6 address in two spellings at :05 and :12",
       {Hit("2001:db8::1", "05/Mar/2008:10:05:00"), Hit("2001:DB8:0::1", "05/Mar/2008:10:12:00")},
       5, {2, 2, 1, 1}},
      {"IPv6 address number 0 and IPv4 address 0.0.0.0",
       {Hit("::", "05/Mar/2008:10:00:00"), Hit("0.0.0.0", "05/Mar/2008:10:00:00")},
       5, {2, 2, 2, 2}},
      {"a mapped address is its IPv4 address",
       {Hit("::ffff:1.1.1.1", "05/Mar/2008:10:00:00"), Hit(a, "05/Mar/2008:10:01:00")},
       5, {2, 2, 1, 1}},
      {"host names share 0.0.0.0",
       {Hit("www.example.com", "05/Mar/2008:10:00:00"), Hit("fe80::1%eth0", "05/Mar/2008:10:01:00")},
       5, {2, 2, 1, 1}},
  };
  for (const auto& c : cases) {
    Load(c.lines);
    RunKind("day");
    ASSERT_EQ(DataRows(), 31) << c.name;
    EXPECT_EQ(At(c.day), c.expected) << c.name;
    EXPECT_EQ(Totals().hits, static_cast<int>(c.lines.size())) << c.name;
  }
}

TEST_F(TimeReportsTest, DayLabelsNameDayMonthAndYearOfTheMiddleRecord) {
  Load({Hit("1.1.1.1", "31/Dec/2007:10:00:00"), Hit("1.1.1.1", "05/Mar/2008:10:00:00"),
        Hit("1.1.1.1", "06/Mar/2008:10:00:00")});
  RunKind("day");
  ASSERT_EQ(DataRows(), 31);
  EXPECT_EQ(Label(1), "01 March 2008");
  EXPECT_EQ(Label(31), "31 March 2008");
  EXPECT_EQ(At(6), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(Totals(), (Counts{2, 2, 2, 2}));
}

TEST_F(TimeReportsTest, FebruaryHasTheDaysOfItsYear) {
  const struct {
    const char* year;
    int rows;
  } cases[] = {{"2013", 28}, {"2012", 29}, {"2000", 29}};
  for (const auto& c : cases) {
    const std::string y = c.year;
    // 29 February 2013 is no calendar date: it lies in no period.
    Load({Hit("1.1.1.1", "29/Feb/" + y + ":10:00:00"), Hit("1.1.1.1", "01/Feb/" + y + ":10:00:00"),
          Hit("1.1.1.1", "28/Feb/" + y + ":10:00:00")});
    RunKind("day");
    ASSERT_EQ(DataRows(), c.rows) << c.year;
    EXPECT_EQ(Label(c.rows), std::to_string(c.rows) + " February " + y) << c.year;
    EXPECT_EQ(At(28), (Counts{1, 1, 1, 1})) << c.year;
    EXPECT_EQ(Totals().hits, c.rows == 29 ? 3 : 2) << c.year;
  }
}

TEST_F(TimeReportsTest, OtherYearsOfTheMonthStayOutOfTheAnalysedMonth) {
  const std::string a = "1.1.1.1";
  Load({Hit(a, "05/Mar/2007:10:00:00"), Hit(a, "06/Mar/2007:10:00:00"),
        Hit(a, "05/Mar/2008:10:00:00"), Hit(a, "05/Mar/2008:10:01:00")});
  for (const std::string kind : {"day", "hour"}) {
    RunKind(kind.c_str());
    EXPECT_EQ(Totals(), (Counts{2, 2, 1, 1})) << kind;
  }
  RunKind("day");
  EXPECT_EQ(At(5), (Counts{2, 2, 1, 1}));
  EXPECT_EQ(At(6), (Counts{0, 0, 0, 0}));
}

TEST_F(TimeReportsTest, DaysWithoutARowAreNotCounted) {
  Load({Hit("1.1.1.1", "00/Apr/2008:10:00:00"), Hit("1.1.1.1", "31/Apr/2008:10:00:00"),
        Hit("1.1.1.1", "30/Apr/2008:10:00:00"), Hit("1.1.1.1", "10/Apr/2008:10:00:00")});
  RunKind("day");
  ASSERT_EQ(DataRows(), 30);
  EXPECT_EQ(At(30), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(At(10), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(Totals(), (Counts{2, 2, 2, 2}));
}

TEST_F(TimeReportsTest, EmptyLogShowsZeroRowsOfEachReport) {
  // The constructor's run: no records loaded.
  for (const std::string kind : {"day", "hour"}) {
    RunKind(kind.c_str());
    const int rows = kind == "day" ? 31 : 24;
    ASSERT_EQ(DataRows(), rows) << kind;
    for (int r = 1; r <= rows; ++r) EXPECT_EQ(At(r), (Counts{0, 0, 0, 0})) << "kind " << kind << " row " << r;
    EXPECT_EQ(Totals(), (Counts{0, 0, 0, 0})) << "kind " << kind;
    EXPECT_TRUE(form_->Report().rows.empty()) << "kind " << kind;
  }
  RunKind("day");
  EXPECT_EQ(Label(1), "01 January 2008");
  EXPECT_EQ(Label(31), "31 January 2008");

  RunKind("weekday");
  ASSERT_EQ(DataRows(), 7);
  for (int r = 1; r <= 7; ++r) EXPECT_EQ(form_->StringGrid1.Cell(2, r), "0") << "row " << r;
}

TEST_F(TimeReportsTest, HourReportCountsEachHourOverAllDays) {
  const std::string a = "1.1.1.1", b = "2.2.2.2";
  Load({Hit(a, "05/Mar/2008:00:10:00"), Hit(a, "06/Mar/2008:23:59:59"),
        // hour 10: one address on two days at :05 and :12 is one visit,
        Hit(a, "05/Mar/2008:10:05:00"), Hit(a, "06/Mar/2008:10:12:00"),
        // another at :05 and :30 two visits, and a 404 of a third.
        Hit(b, "05/Mar/2008:10:05:00"), Hit(b, "07/Mar/2008:10:30:00"),
        Hit("3.3.3.3", "07/Mar/2008:10:30:00", "404")});
  RunKind("hour");
  ASSERT_EQ(DataRows(), 24);
  EXPECT_EQ(Label(1), "00:00 - 01:00");
  EXPECT_EQ(Label(24), "23:00 - 24:00");
  EXPECT_EQ(At(1), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(At(24), (Counts{1, 1, 1, 1}));
  EXPECT_EQ(At(11), (Counts{5, 4, 2, 3}));
  EXPECT_EQ(Totals(), (Counts{7, 6, 4, 5}));
  EXPECT_EQ(form_->TableMode, 1);
}

TEST_F(TimeReportsTest, DayOfWeekRowsRunSundayToSaturdayWhateverTheCounts) {
  Load({Hit("1.1.1.1", "02/Mar/2008:10:00:00"),   // Sunday
        Hit("1.1.1.1", "03/Mar/2008:10:00:00"),   // Monday
        Hit("1.1.1.1", "08/Mar/2008:10:00:00"),   // Saturday
        Hit("1.1.1.1", "15/Mar/2008:10:00:00"),   // Saturday
        Hit("1.1.1.1", "00/Mar/2008:10:00:00"),   // no date: left out
        Hit("1.1.1.1", "29/Mar/2008:10:00:00")}); // Saturday
  RunKind("weekday");
  const StatGrid& g = form_->StringGrid1;
  ASSERT_EQ(DataRows(), 7);
  const char* names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                         "Saturday"};
  const char* counts[] = {"1", "1", "0", "0", "0", "0", "3"};
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(g.Cell(1, r), names[r - 1]) << "row " << r;
    EXPECT_EQ(g.Cell(2, r), counts[r - 1]) << "row " << r;
  }
  EXPECT_EQ(g.Cell(3, 7), "60.00%");
  EXPECT_EQ(form_->TableMode, 0);
}

}  // namespace
}  // namespace tw
