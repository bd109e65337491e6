// The countries and cities reports over a counting fake database, through a
// real load, analysis run and details list.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "geo/source.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;
using testing::Row;

// Knows the addresses of its map, keyed by their text; counts every question.
class CountingSource : public GeoSource {
 public:
  CountingSource(std::map<std::string, GeoPlace> places, bool cities)
      : places_(std::move(places)), cities_(cities) {}
  bool Lookup(const ClientAddress& address, GeoPlace* place) const override {
    ++lookups;
    LogRecord probe;
    Ipv6AddressTable table;
    if (address.IsIpv6) {
      probe.ClientIp = table.Add(address.Ipv6);
      probe.IsIpv6 = 1;
    } else {
      probe.ClientIp = address.Ipv4;
    }
    const auto found = places_.find(FormatClientAddress(&table, probe));
    if (found == places_.end()) return false;
    *place = found->second;
    return true;
  }
  bool HasCities() const override { return cities_; }
  std::string Description() const override { return "Fake-City, 2024-01-02"; }
  mutable int lookups = 0;

 private:
  std::map<std::string, GeoPlace> places_;
  bool cities_;
};

class GeoReportsTest : public testing::ReportFixture {
 protected:
  void SetUp() override {
    ReportFixture::SetUp();
    auto source = std::make_unique<CountingSource>(
        std::map<std::string, GeoPlace>{
            {"1.1.1.1", {"DE", "Germany", "Berlin"}},
            {"1.1.1.2", {"DE", "Germany", ""}},
            {"1.1.1.3", {"DE", "Germany", "Berlin"}},
            {"2.2.2.2", {"FR", "France", "Paris"}},
            {"2001:db8::1", {"JP", "Japan", "Tokyo"}},
        },
        true);
    source_ = source.get();
    form_->UseGeoSource(std::move(source));
  }

  // Lines 1-10: Germany x5 (Berlin x3 from two addresses, no city x2),
  // France x1, Japan x2 over IPv6, unknown x2 (a host name, a private address).
  void LoadPlaces() {
    Load({{.ip = "1.1.1.1"}, {.ip = "2.2.2.2"},     {.ip = "1.1.1.2"},    {.ip = "2001:db8::1"},
          {.ip = "1.1.1.3"}, {.ip = "host.example"}, {.ip = "1.1.1.1"},    {.ip = "10.0.0.1"},
          {.ip = "1.1.1.2"}, {.ip = "2001:DB8:0::1"}});
  }

  CountingSource* source_ = nullptr;
};

TEST_F(GeoReportsTest, RowsPerCountryAndPerCityWithTheUnknownRow) {
  LoadPlaces();
  struct Case {
    const char* kind;
    std::vector<Row> rows;
    std::vector<std::vector<int>> details;  // of each row, in table order
  };
  const Case cases[] = {
      {"countries",
       {{"Germany", 5}, {"(unknown)", 2}, {"Japan", 2}, {"France", 1}},
       {{1, 3, 5, 7, 9}, {6, 8}, {4, 10}, {2}}},
      {"cities",
       {{"Berlin, Germany", 3}, {"(unknown)", 2}, {"Germany", 2}, {"Tokyo, Japan", 2},
        {"Paris, France", 1}},
       {{1, 5, 7}, {6, 8}, {3, 9}, {4, 10}, {2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    Run(c.kind);
    EXPECT_EQ(form_->ReportKind(), FindReportKindByName(c.kind));
    // Rows are grouped in label order; the table then orders them by count.
    std::vector<Row> shown;
    for (int r = 1; r <= static_cast<int>(c.rows.size()); ++r) {
      shown.emplace_back(form_->StringGrid1.Cell(1, r), std::stoi(form_->StringGrid1.Cell(2, r)));
    }
    EXPECT_EQ(shown, c.rows);
    for (std::size_t r = 0; r < c.details.size(); ++r) {
      EXPECT_EQ(Details(static_cast<int>(r) + 1), c.details[r]) << c.rows[r].first;
    }
  }
}

TEST_F(GeoReportsTest, EachDistinctAddressIsLookedUpOncePerLoad) {
  LoadPlaces();
  EXPECT_EQ(source_->lookups, 0) << "no location report ran yet";
  Run("countries");
  // 1.1.1.1, 1.1.1.2, 1.1.1.3, 2.2.2.2, 10.0.0.1 and one IPv6 address; the
  // host name is not asked.
  EXPECT_EQ(source_->lookups, 6);
  Run("cities");
  Run("countries");
  Details(1);
  EXPECT_EQ(source_->lookups, 6) << "later runs and details reuse the table";

  LoadPlaces();
  Run("cities");
  EXPECT_EQ(source_->lookups, 12) << "a new log is looked up anew";
}

TEST_F(GeoReportsTest, WithoutADatabaseEveryClientIsUnknown) {
  form_->UseGeoSource(nullptr);
  LoadPlaces();
  Run("countries");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"(unknown)", 10}}));
  EXPECT_EQ(Details(1).size(), 10u);
}

TEST_F(GeoReportsTest, ButtonsFollowWhatTheDatabaseServes) {
  struct Case {
    std::unique_ptr<GeoSource> source;
    bool countries;
    bool cities;
  };
  Case cases[3];
  cases[0] = {nullptr, false, false};
  cases[1] = {std::make_unique<CountingSource>(std::map<std::string, GeoPlace>{}, false), true,
              false};
  cases[2] = {std::make_unique<CountingSource>(std::map<std::string, GeoPlace>{}, true), true,
              true};
  for (Case& c : cases) {
    form_->UseGeoSource(std::move(c.source));
    EXPECT_EQ(form_->ReportButton(*FindReportKindByButton("RadioButton8")).Visible, c.countries);
    EXPECT_EQ(form_->ReportButton(*FindReportKindByButton("RadioButton8")).Enabled, c.countries);
    EXPECT_EQ(form_->ReportButton(*FindReportKindByButton("RadioButton7")).Visible, c.cities);
    EXPECT_EQ(form_->ReportButton(*FindReportKindByButton("RadioButton7")).Enabled, c.cities);
  }
  EXPECT_EQ(form_->GeoDatabaseLine(), "Location database: Fake-City, 2024-01-02");
  form_->UseGeoSource(nullptr);
  EXPECT_EQ(form_->GeoDatabaseLine(), "Location database: none");
}

}  // namespace
}  // namespace tw
