#include "geo/find.h"

#include "geo/legacy_database.h"
#include "geo/mmdb_database.h"

namespace tw {
namespace {

struct MmdbName {
  const char* file;
  bool city;
};
constexpr MmdbName kMmdbNames[] = {
    {"GeoLite2-City.mmdb", true},     {"GeoIP2-City.mmdb", true},
    {"dbip-city-lite.mmdb", true},    {"GeoLite2-Country.mmdb", false},
    {"GeoIP2-Country.mmdb", false},   {"dbip-country-lite.mmdb", false},
};

}  // namespace

GeoSearch DefaultGeoSearch(const std::string& program_folder) {
  return GeoSearch{{program_folder, "/var/lib/GeoIP/", "/usr/share/GeoIP/"}, "/usr/share/GeoIP/"};
}

std::unique_ptr<GeoSource> FindGeoSource(const GeoSearch& search) {
  for (const std::string& folder : search.MmdbFolders) {
    for (const MmdbName& name : kMmdbNames) {
      std::unique_ptr<GeoSource> source = OpenMmdbSource(folder + name.file, name.city);
      if (source != nullptr) return source;
    }
  }
  return OpenLegacySource(search.LegacyFolder);
}

bool GeoLevelAvailable(const GeoSource* source, GeoLevel level) {
  switch (level) {
    case GeoLevel::kNone: return true;
    case GeoLevel::kCountries: return source != nullptr;
    case GeoLevel::kCities: return source != nullptr && source->HasCities();
  }
  return false;
}

std::string GeoMissingMessage(const GeoSource* source, GeoLevel level) {
  if (GeoLevelAvailable(source, level)) return {};
  if (level == GeoLevel::kCountries) {
    return "the countries report needs a location database: install the Debian package "
           "geoip-database (apt-get install geoip-database), or put a GeoLite2-Country.mmdb or "
           "dbip-country-lite.mmdb beside the program or in /var/lib/GeoIP";
  }
  return "the cities report needs a city database: put a GeoLite2-City.mmdb or "
         "dbip-city-lite.mmdb beside the program or in /var/lib/GeoIP";
}

}  // namespace tw
