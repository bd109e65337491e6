#pragma once

// Where a client address is: the one question the countries and cities
// reports ask of a location database.
//
//   "8.8.8.8"  -> {CountryCode "US", Country "United States", City ""}
//   "10.0.0.1" -> not found (private addresses are in no database)

#include <string>

#include "log/client_address.h"

namespace tw {

// Texts in UTF-8; City is empty when the database names no city.
struct GeoPlace {
  std::string CountryCode;
  std::string Country;
  std::string City;
};

class GeoSource {
 public:
  virtual ~GeoSource() = default;
  // Fills *place and returns true when the database knows the address.
  virtual bool Lookup(const ClientAddress& address, GeoPlace* place) const = 0;
  // Whether lookups can name cities.
  virtual bool HasCities() const = 0;
  // "name, date" of the database, and its file:
  // "GeoLite2-City, 2024-05-03 (/var/lib/GeoIP/GeoLite2-City.mmdb)".
  virtual std::string Description() const = 0;
};

}  // namespace tw
