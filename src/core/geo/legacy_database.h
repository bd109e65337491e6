#pragma once

// Countries from the legacy GeoIP databases (GeoIP.dat for IPv4, GeoIPv6.dat
// for IPv6) that Debian's geoip-database installs, read through libgeoip.

#include <memory>
#include <string>

#include "geo/source.h"

namespace tw {

// The databases in `folder` (ending in '/'); null when GeoIP.dat does not
// open. Without GeoIPv6.dat, IPv6 addresses are not found.
std::unique_ptr<GeoSource> OpenLegacySource(const std::string& folder);

// The English name of a two-letter country code ("DE" -> "Germany"), empty
// when the code is unknown.
std::string CountryNameOfCode(const std::string& code);

}  // namespace tw
