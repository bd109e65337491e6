#pragma once

// A location database in the MaxMind format (.mmdb), read through libmaxminddb.
// Both the MaxMind layout (country.names.en, city.names.en) and the flat one
// of other publishers (country_code, city) are read.

#include <memory>
#include <string>

#include "geo/source.h"

namespace tw {

// The database at `path`, or null when it does not open. It counts as a city
// database when `city_file` says so (it was found under a city name) or its
// own type names a city ("GeoLite2-City").
std::unique_ptr<GeoSource> OpenMmdbSource(const std::string& path, bool city_file);

}  // namespace tw
