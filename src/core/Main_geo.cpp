// The window's location database: the countries and cities buttons follow it.

#include <memory>
#include <string>

#include "Geo_find.h"
#include "Main_form.h"

namespace tw {

void TSDIAppForm::UseGeoSource(std::unique_ptr<GeoSource> source) {
  session_.UseGeoSource(std::move(source));
  ShowGeoButtons();
}

void TSDIAppForm::ShowGeoButtons() {
  RadioButton8.Visible = RadioButton8.Enabled =
      GeoLevelAvailable(GeoDatabase(), GeoLevel::kCountries);
  RadioButton7.Visible = RadioButton7.Enabled = GeoLevelAvailable(GeoDatabase(), GeoLevel::kCities);
}

std::string TSDIAppForm::GeoDatabaseLine() const {
  return Lang.GetOr("geo1", "Location database: ") +
         (GeoDatabase() != nullptr ? GeoDatabase()->Description() : Lang.GetOr("geo2", "none"));
}

}  // namespace tw
