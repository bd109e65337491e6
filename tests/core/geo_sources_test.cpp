// The location databases: Debian's legacy GeoIP.dat and GeoIPv6.dat, a real
// .mmdb file, and the search that picks one.

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "geo/find.h"
#include "geo/legacy_database.h"
#include "geo/mmdb_database.h"
#include "temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDebianFolder = "/usr/share/GeoIP/";

ClientAddress Address(const std::string& text) {
  ClientAddress address;
  EXPECT_TRUE(ReadClientAddress(text, &address)) << text;
  return address;
}

struct Known {
  const char* address;
  const char* code;
  const char* country;
};

// Addresses whose country has stayed put for many years.
constexpr Known kKnown[] = {
    {"8.8.8.8", "US", "United States"},
    {"193.0.6.139", "NL", "Netherlands"},        // RIPE NCC, Amsterdam
    {"2001:4860:4860::8888", "US", "United States"},
    {"2003:e0::1", "DE", "Germany"},                          // Deutsche Telekom
};

TEST(LegacyGeoSource, FindsCountriesOfWellKnownAddresses) {
  if (!fs::exists(fs::path(kDebianFolder) / "GeoIP.dat")) {
    GTEST_SKIP() << "no /usr/share/GeoIP/GeoIP.dat: install the Debian package geoip-database";
  }
  const std::unique_ptr<GeoSource> source = OpenLegacySource(kDebianFolder);
  ASSERT_NE(source, nullptr);
  EXPECT_FALSE(source->HasCities());
  EXPECT_NE(source->Description().find(", 20"), std::string::npos) << source->Description();
  const bool has_v6 = fs::exists(fs::path(kDebianFolder) / "GeoIPv6.dat");
  for (const Known& k : kKnown) {
    const ClientAddress address = Address(k.address);
    if (address.IsIpv6 && !has_v6) continue;
    GeoPlace place;
    ASSERT_TRUE(source->Lookup(address, &place)) << k.address;
    EXPECT_EQ(place.CountryCode, k.code) << k.address;
    EXPECT_EQ(place.Country, k.country) << k.address;
    EXPECT_EQ(place.City, "") << k.address;
  }
  GeoPlace place;
  for (const char* unknown : {"10.0.0.1", "127.0.0.1", "fd00::1"}) {
    EXPECT_FALSE(source->Lookup(Address(unknown), &place)) << unknown;
  }
}

TEST(LegacyGeoSource, NamesCountryCodes) {
  EXPECT_EQ(CountryNameOfCode("DE"), "Germany");
  EXPECT_EQ(CountryNameOfCode("JP"), "Japan");
  EXPECT_EQ(CountryNameOfCode("ZZ"), "");
  EXPECT_EQ(CountryNameOfCode(""), "");
  EXPECT_EQ(CountryNameOfCode("DEU"), "");
}

// The .mmdb test file comes from scripts/fetch-geo-test-data.sh, or from the
// folder named by TALLYWEAVE_GEO_TEST_DATA.
std::string MmdbTestFile() {
  const char* env = std::getenv("TALLYWEAVE_GEO_TEST_DATA");
  const fs::path folder = env != nullptr ? fs::path(env) : fs::path(TALLYWEAVE_GEO_TEST_FOLDER);
  const fs::path file = folder / "geo-whois-asn-country.mmdb";
  return fs::exists(file) ? file.string() : std::string();
}

TEST(MmdbGeoSource, FindsCountriesInARealFile) {
  const std::string path = MmdbTestFile();
  if (path.empty()) {
    GTEST_SKIP() << "no geo-whois-asn-country.mmdb: run scripts/fetch-geo-test-data.sh";
  }
  const std::unique_ptr<GeoSource> source = OpenMmdbSource(path, false);
  ASSERT_NE(source, nullptr);
  EXPECT_FALSE(source->HasCities());
  EXPECT_NE(source->Description().find(", 20"), std::string::npos) << source->Description();
  for (const Known& k : kKnown) {
    GeoPlace place;
    ASSERT_TRUE(source->Lookup(Address(k.address), &place)) << k.address;
    EXPECT_EQ(place.CountryCode, k.code) << k.address;
    EXPECT_EQ(place.Country, k.country) << k.address;
  }
  GeoPlace place;
  EXPECT_FALSE(source->Lookup(Address("10.0.0.1"), &place));
  // Found under a city name, a file counts as a city database.
  EXPECT_TRUE(OpenMmdbSource(path, true)->HasCities());
}

class GeoSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    dir_ = temp_.path();
    fs::create_directories(dir_ / "a");
    fs::create_directories(dir_ / "b");
  }
  GeoSearch Search() const {
    return {{(dir_ / "a").string() + "/", (dir_ / "b").string() + "/"}, (dir_ / "b").string() + "/"};
  }
  testing::TempFolder temp_;
  fs::path dir_;
};

TEST_F(GeoSearchTest, NothingFoundMeansNoButtonsAndAMessage) {
  // A file by a searched name that is no database is passed over.
  std::ofstream(dir_ / "a" / "GeoLite2-City.mmdb") << "not a database";
  const std::unique_ptr<GeoSource> source = FindGeoSource(Search());
  EXPECT_EQ(source, nullptr) << "no GeoIP.dat in the legacy folder either";
  EXPECT_FALSE(GeoLevelAvailable(source.get(), GeoLevel::kCities));
  EXPECT_FALSE(GeoLevelAvailable(source.get(), GeoLevel::kCountries));
  EXPECT_NE(GeoMissingMessage(nullptr, GeoLevel::kCountries).find("geoip-database"), std::string::npos);
  EXPECT_NE(GeoMissingMessage(nullptr, GeoLevel::kCities).find("GeoLite2-City.mmdb"), std::string::npos);
  EXPECT_EQ(GeoMissingMessage(nullptr, GeoLevel::kNone), "");
}

TEST_F(GeoSearchTest, FirstFolderAndCityNamesComeFirst) {
  const std::string mmdb = MmdbTestFile();
  if (mmdb.empty()) GTEST_SKIP() << "no .mmdb test file: run scripts/fetch-geo-test-data.sh";
  struct Case {
    const char* folder;
    const char* name;
    bool cities;
  };
  const Case cases[] = {
      {"b", "dbip-country-lite.mmdb", false},
      {"b", "dbip-city-lite.mmdb", true},   // a city name wins in the same folder
      {"a", "GeoIP2-Country.mmdb", false},  // the first folder wins over a later city file
      {"a", "GeoLite2-City.mmdb", true},
  };
  for (const Case& c : cases) {
    fs::copy_file(mmdb, dir_ / c.folder / c.name);
    const std::unique_ptr<GeoSource> source = FindGeoSource(Search());
    ASSERT_NE(source, nullptr) << c.name;
    EXPECT_EQ(source->HasCities(), c.cities) << c.name;
    EXPECT_EQ(GeoLevelAvailable(source.get(), GeoLevel::kCities), c.cities) << c.name;
    EXPECT_TRUE(GeoLevelAvailable(source.get(), GeoLevel::kCountries)) << c.name;
    EXPECT_EQ(GeoMissingMessage(source.get(), GeoLevel::kCities).empty(), c.cities) << c.name;
  }
}

}  // namespace
}  // namespace tw
