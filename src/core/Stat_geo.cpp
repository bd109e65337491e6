// The countries and cities reports: one row per place of the selected
// records' clients, most active first, and one row for the clients the
// location database does not know.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Geo_find.h"
#include "Geo_table.h"
#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

namespace {

std::string UnknownPlace(const TSDIAppForm& form) {
  return form.Lang.GetOr("geo0", "(unknown)");
}

std::uint64_t CountryOf(const TSDIAppForm& form, const LogRecord& r) {
  return form.GeoPlaces != nullptr ? form.GeoPlaces->CountryKey(r) : 0;
}
std::uint64_t CityOf(const TSDIAppForm& form, const LogRecord& r) {
  return form.GeoPlaces != nullptr ? form.GeoPlaces->CityKey(r) : 0;
}

const char* CountryLabel(const TSDIAppForm& form, const LogRecord& r) {
  const std::uint32_t key = static_cast<std::uint32_t>(CountryOf(form, r));
  return NewLabel(key == 0 ? UnknownPlace(form) : form.GeoPlaces->CountryLabel(key));
}
const char* CityLabel(const TSDIAppForm& form, const LogRecord& r) {
  const std::uint32_t key = static_cast<std::uint32_t>(CityOf(form, r));
  return NewLabel(key == 0 ? UnknownPlace(form) : form.GeoPlaces->CityLabel(key));
}

// A label read back as its key: the unknown row's text is key 0.
bool CountryLabelKey(const TSDIAppForm& form, const char* label, std::uint64_t* key) {
  std::uint32_t found = 0;
  if (form.GeoPlaces != nullptr && form.GeoPlaces->FindCountry(label, &found)) {
    *key = found;
    return true;
  }
  *key = 0;
  return label == UnknownPlace(form);
}
bool CityLabelKey(const TSDIAppForm& form, const char* label, std::uint64_t* key) {
  std::uint32_t found = 0;
  if (form.GeoPlaces != nullptr && form.GeoPlaces->FindCity(label, &found)) {
    *key = found;
    return true;
  }
  *key = 0;
  return label == UnknownPlace(form);
}

}  // namespace

const RowReport kCitiesReport{
    .Kind = 7,
    .SortByCount = true,
    .Number = CityOf,
    .MakeLabel = CityLabel,
    .LabelKey = CityLabelKey,
};

const RowReport kCountriesReport{
    .Kind = 8,
    .SortByCount = true,
    .Number = CountryOf,
    .MakeLabel = CountryLabel,
    .LabelKey = CountryLabelKey,
};

void TSDIAppForm::UseGeoSource(std::unique_ptr<GeoSource> source) {
  GeoDatabase = std::move(source);
  GeoPlaces.reset();
  RadioButton8.Visible = RadioButton8.Enabled = GeoKindAvailable(GeoDatabase.get(), 8);
  RadioButton7.Visible = RadioButton7.Enabled = GeoKindAvailable(GeoDatabase.get(), 7);
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

void TSDIAppForm::ReportCities(std::vector<const LogRecord*>& selected, std::int32_t count) {
  PrepareGeoPlaces();
  RunRowReport(*this, kCitiesReport, selected, count);
}

void TSDIAppForm::ReportCountries(std::vector<const LogRecord*>& selected, std::int32_t count) {
  PrepareGeoPlaces();
  RunRowReport(*this, kCountriesReport, selected, count);
}

}  // namespace tw
