// The analysed period: its calendar arithmetic, the window's month choice and
// date pickers, the reports over a period, and IPv6 clients in the reports.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/period.h"
#include "form/form.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;
using testing::Row;

LogTime At(int day, int month, int year) { return PackLogTime({day, month, year, 10, 0, 0}); }

TEST(Period, CountsAndPlacesCalendarDaysAcrossMonthAndYearEnds) {
  const struct {
    Period period;
    int days;
    LogTime probe;
    int index;  // of the probe's day; -1 outside
  } cases[] = {
      {MonthPeriod(2013, 2), 28, At(28, 2, 2013), 27},
      {MonthPeriod(2012, 2), 29, At(29, 2, 2012), 28},
      {MonthPeriod(2013, 2), 28, At(29, 2, 2013), -1},  // no calendar date
      {MonthPeriod(2013, 4), 30, At(31, 4, 2013), -1},
      {MonthPeriod(2013, 4), 30, At(0, 4, 2013), -1},
      {{{2012, 12, 30}, {2013, 1, 2}}, 4, At(1, 1, 2013), 2},
      {{{2012, 12, 30}, {2013, 1, 2}}, 4, At(30, 12, 2013), -1},  // a year later
      {{{2013, 1, 31}, {2013, 3, 1}}, 30, At(1, 3, 2013), 29},
      {{{2013, 3, 1}, {2013, 2, 1}}, 0, At(15, 2, 2013), -1},  // "from" after "to": empty
      {{{1970, 1, 1}, {2032, 12, 31}}, 23011, At(1, 1, 1970), 0},
  };
  for (const auto& c : cases) {
    const std::string what = FormatPeriod(c.period) + " with " + FormatLogTime(c.probe);
    EXPECT_EQ(PeriodDayCount(c.period), c.days) << what;
    EXPECT_EQ(PeriodDayIndex(c.period, c.probe), c.index) << what;
    if (c.index >= 0) {
      EXPECT_EQ(PeriodDay(c.period, c.index),
                (CalendarDate{LogYear(c.probe), LogMonth(c.probe), LogDay(c.probe)}))
          << what;
    }
  }
}

TEST(Period, ReadsDatesAndMonthsOfTheCommandLine) {
  CalendarDate date;
  int year = 0, month = 0;
  EXPECT_TRUE(ParseIsoDate("2012-02-29", &date));
  EXPECT_EQ(date, (CalendarDate{2012, 2, 29}));
  EXPECT_TRUE(ParseIsoMonth("2013-12", &year, &month));
  EXPECT_EQ(year * 100 + month, 201312);
  for (const char* bad : {"2013-02-29", "2013-04-31", "2013-00-10", "2013-1-10", "2013-01-1",
                          "2013/01/10", "+013-01-10", "2013-01-10x", ""}) {
    EXPECT_FALSE(ParseIsoDate(bad, &date)) << bad;
  }
  for (const char* bad : {"2013-13", "2013-00", "2013-1", "13-01", "2013-01-"}) {
    EXPECT_FALSE(ParseIsoMonth(bad, &year, &month)) << bad;
  }
}

class PeriodFormTest : public testing::ReportFixture {
 protected:
  static LogLine Hit(const std::string& time, const std::string& ip = "10.0.0.1") {
    return {.ip = ip, .time = time + ":10:00:00"};
  }
  int DataRows() const { return form_->StringGrid1.RowCount() - 2; }
  std::string Label(int row) const { return form_->StringGrid1.Cell(1, row); }
  std::string Cell(int col, int row) const { return form_->StringGrid1.Cell(col, row); }
};

TEST_F(PeriodFormTest, ALogOfManyYearsOffersItsMonthsAndAnalysesTheMiddleOne) {
  Load({Hit("05/Mar/2011"), Hit("31/Dec/2012"), Hit("00/Jan/2013"), Hit("01/Jan/2013"),
        Hit("02/Jan/2013"), Hit("05/Mar/2013"), Hit("06/Mar/2013"), Hit("31/Apr/2013")});
  // Record 8 / 2 is 02 January 2013; 00/Jan and 31/Apr are no dates.
  EXPECT_EQ(form_->AnalysedPeriod, MonthPeriod(2013, 1));
  EXPECT_EQ(form_->ComboBox1.Items,
            (std::vector<std::string>{"March 2011", "December 2012", "January 2013", "March 2013"}));
  EXPECT_EQ(form_->ComboBox1.ItemIndex, 2);
  EXPECT_EQ(form_->DateTimePicker1.MinDate, (CalendarDate{2011, 3, 5}));
  EXPECT_EQ(form_->DateTimePicker2.MaxDate, (CalendarDate{2013, 3, 6}));
  EXPECT_EQ(form_->DateTimePicker1.Date, (CalendarDate{2013, 1, 1}));
  EXPECT_EQ(form_->DateTimePicker2.Date, (CalendarDate{2013, 1, 31}));

  Run("day");
  ASSERT_EQ(DataRows(), 31);
  EXPECT_EQ(Cell(2, DataRows() + 1), "2") << "only 1 and 2 January 2013";

  // The month choice analyses the whole month; the pickers show it within the log's dates.
  form_->ComboBox1Change(3);
  EXPECT_EQ(form_->AnalysedPeriod, MonthPeriod(2013, 3));
  EXPECT_EQ(form_->DateTimePicker1.Date, (CalendarDate{2013, 3, 1}));
  EXPECT_EQ(form_->DateTimePicker2.Date, (CalendarDate{2013, 3, 6}));
  Run("day");
  ASSERT_EQ(DataRows(), 31);
  EXPECT_EQ(Label(6), "06 March 2013");
  EXPECT_EQ(form_->Label8.Caption, "http://site.example/  01.03.2013 - 31.03.2013");
}

TEST_F(PeriodFormTest, PickersChooseAnyDaysAcrossMonthAndYearEnds) {
  Load({Hit("30/Dec/2012"), Hit("31/Dec/2012"), Hit("01/Jan/2013"), Hit("15/Jan/2013"),
        Hit("28/Feb/2013")});
  form_->DateTimePicker1Change({2012, 12, 31});
  form_->DateTimePicker2Change({2013, 2, 28});
  EXPECT_EQ(form_->ComboBox1.ItemIndex, -1) << "no month is chosen";
  Run("day");
  ASSERT_EQ(DataRows(), 1 + 31 + 28);
  EXPECT_EQ(Label(1), "31 December 2012");
  EXPECT_EQ(Label(2), "01 January 2013");
  EXPECT_EQ(Label(60), "28 February 2013");
  EXPECT_EQ(Cell(2, 60), "1");
  EXPECT_EQ(Cell(2, 61), "4") << "totals over the period";
  EXPECT_EQ(Details(2), std::vector<int>{3}) << "row 2 is 1 January 2013";
  EXPECT_EQ(form_->Chart1.Lines[0].Points.size(), 60u);

  Run("pages");  // a count report over the same days
  EXPECT_EQ(Rows(), (std::vector<Row>{{"/index.html", 4}}));

  // A "from" past the "to" carries it along, and the other way round.
  form_->DateTimePicker1Change({2013, 1, 15});
  form_->DateTimePicker2Change({2013, 1, 1});
  EXPECT_EQ(form_->AnalysedPeriod, (Period{{2013, 1, 1}, {2013, 1, 1}}));
  form_->DateTimePicker1Change({2013, 1, 15});
  EXPECT_EQ(form_->AnalysedPeriod, (Period{{2013, 1, 15}, {2013, 1, 15}}));
  Run("hour");
  EXPECT_EQ(Cell(2, 25), "1") << "the hour report over one day";
}

TEST_F(PeriodFormTest, AddressesListIpv4NumericallyThenIpv6ByBytes) {
  Load({Hit("10/Mar/2008", "2001:db8::10"), Hit("10/Mar/2008", "10.0.0.2"),
        Hit("10/Mar/2008", "2001:DB8::9"), Hit("10/Mar/2008", "::ffff:9.0.0.1"),
        Hit("10/Mar/2008", "::1"), Hit("10/Mar/2008", "www.example.com"),
        Hit("10/Mar/2008", "10.0.0.10"), Hit("10/Mar/2008", "2001:db8::9")});
  Run("addresses");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"2001:db8::9", 2},
                                      {"0.0.0.0", 1},
                                      {"9.0.0.1", 1},
                                      {"10.0.0.2", 1},
                                      {"10.0.0.10", 1},
                                      {"::1", 1},
                                      {"2001:db8::10", 1}}));
  EXPECT_EQ(Details(1), (std::vector<int>{3, 8}));
  EXPECT_EQ(form_->StringGrid2.Cell(1, 1), "2001:db8::9") << "the raw log table shows the address";
  EXPECT_EQ(Details(6), std::vector<int>{5});
  EXPECT_EQ(Details(3), std::vector<int>{4});
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// The table answers as PeriodDayIndex does for every date a record can carry,
// impossible ones (day 0, 31 April, month 13) included.
TEST(PeriodDays, AgreesWithPeriodDayIndexOnEveryDate) {
  const Period periods[] = {MonthPeriod(2008, 2), MonthPeriod(2025, 12),
                            Period{{1970, 1, 1}, {2033, 12, 31}},
                            Period{{2024, 2, 29}, {2024, 2, 29}}, EmptyLogPeriod()};
  for (const Period& period : periods) {
    const PeriodDays days(period);
    for (LogTime date = 0; date <= 0x7FFF; ++date) {
      // Time-of-day bits on top change nothing.
      const LogTime t = date | (LogTime{13} << 15) | (LogTime{59} << 20);
      ASSERT_EQ(days.IndexOf(t), PeriodDayIndex(period, t)) << FormatPeriod(period) << " " << date;
      ASSERT_EQ(days.Contains(t), PeriodContains(period, t));
    }
  }
}

}  // namespace
}  // namespace tw
