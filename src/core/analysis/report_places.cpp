// The countries and cities reports: one row per place of the selected
// records' clients, most active first, and one row for the clients the
// location database does not know.

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/report_kinds.h"
#include "base/language.h"
#include "geo/place_table.h"

namespace tw {

namespace {

std::uint64_t CountryOf(const ReportContext& context, const LogRecord& r) {
  return context.places != nullptr ? context.places->CountryKey(r) : 0;
}
std::uint64_t CityOf(const ReportContext& context, const LogRecord& r) {
  return context.places != nullptr ? context.places->CityKey(r) : 0;
}

std::string_view PlaceLabel(const ReportContext& context, std::uint64_t key,
                            const std::string& (GeoTable::*label)(std::uint32_t) const,
                            LabelStore& labels) {
  if (key == 0) return labels.Add(context.lang->GetOr("geo0", "(unknown)"));
  return labels.Add((context.places->*label)(static_cast<std::uint32_t>(key)));
}

std::string_view CountryLabel(const ReportContext& context, const LogRecord& r,
                              LabelStore& labels) {
  return PlaceLabel(context, CountryOf(context, r), &GeoTable::CountryLabel, labels);
}
std::string_view CityLabel(const ReportContext& context, const LogRecord& r, LabelStore& labels) {
  return PlaceLabel(context, CityOf(context, r), &GeoTable::CityLabel, labels);
}

}  // namespace

const RowReport kCitiesReport{
    .SortByCount = true,
    .Number = CityOf,
    .MakeLabel = CityLabel,
};

const RowReport kCountriesReport{
    .SortByCount = true,
    .Number = CountryOf,
    .MakeLabel = CountryLabel,
};

}  // namespace tw
