#pragma once

// Which location database the program uses. The .mmdb files are searched by
// name, city databases first, in each folder in turn; the first that opens
// wins. Without one, the legacy country databases of Debian's geoip-database
// are used.
//
//   folders {"/opt/tw/", "/var/lib/GeoIP/", "/usr/share/GeoIP/"}:
//   /opt/tw/GeoLite2-Country.mmdb and /var/lib/GeoIP/GeoLite2-City.mmdb both
//   present -> /opt/tw/GeoLite2-Country.mmdb (the program's folder comes first)

#include <memory>
#include <string>
#include <vector>

#include "geo/source.h"

namespace tw {

struct GeoSearch {
  std::vector<std::string> MmdbFolders;  // each ending in '/', searched in order
  std::string LegacyFolder;              // the folder of GeoIP.dat and GeoIPv6.dat
};

// The program's folder, then /var/lib/GeoIP/ and /usr/share/GeoIP/; the
// legacy databases in /usr/share/GeoIP/.
GeoSearch DefaultGeoSearch(const std::string& program_folder);

// The database to use, or null when there is none.
std::unique_ptr<GeoSource> FindGeoSource(const GeoSearch& search);

// What a report needs of the location database: nothing, the countries of
// addresses, or their cities too.
enum class GeoLevel { kNone, kCountries, kCities };

// Whether `source` (null: none) serves a report that needs `level`.
bool GeoLevelAvailable(const GeoSource* source, GeoLevel level);

// Why a report that needs `level` cannot run and what to install or where to
// put a database; empty when it can run.
std::string GeoMissingMessage(const GeoSource* source, GeoLevel level);

}  // namespace tw
