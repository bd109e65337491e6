// The window's location database: the countries and cities buttons follow it.

#include <memory>
#include <string>

#include "Geo_find.h"
#include "Geo_table.h"
#include "Main_form.h"

namespace tw {

void TSDIAppForm::UseGeoSource(std::unique_ptr<GeoSource> source) {
  GeoDatabase = std::move(source);
  GeoPlaces.reset();
  RadioButton8.Visible = RadioButton8.Enabled = GeoLevelAvailable(GeoDatabase.get(), GeoLevel::kCountries);
  RadioButton7.Visible = RadioButton7.Enabled = GeoLevelAvailable(GeoDatabase.get(), GeoLevel::kCities);
}

std::string TSDIAppForm::GeoDatabaseLine() const {
  return Lang.GetOr("geo1", "Location database: ") +
         (GeoDatabase != nullptr ? GeoDatabase->Description() : Lang.GetOr("geo2", "none"));
}

void TSDIAppForm::PrepareGeoPlaces() {
  if (GeoPlaces == nullptr && Records != nullptr) {
    GeoPlaces = std::make_unique<GeoTable>(GeoDatabase.get(), *Records, Ipv6Addresses.get());
  }
}

}  // namespace tw
