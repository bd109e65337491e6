// The window's location database: the countries and cities buttons follow it.

#include <memory>
#include <string>

#include "analysis/report_kinds.h"
#include "form/form.h"
#include "geo/find.h"

namespace tw {

void TSDIAppForm::UseGeoSource(std::unique_ptr<GeoSource> source) {
  session_.UseGeoSource(std::move(source));
  ShowGeoButtons();
}

void TSDIAppForm::ShowGeoButtons() {
  for (const ReportKindInfo& kind : kReportKinds) {
    if (kind.Places == GeoLevel::kNone) continue;
    Control& button = ReportButton(kind);
    button.Visible = button.Enabled = GeoLevelAvailable(GeoDatabase(), kind.Places);
  }
}

std::string TSDIAppForm::GeoDatabaseLine() const {
  return Lang.GetOr("geo1", "Location database: ") +
         (GeoDatabase() != nullptr ? GeoDatabase()->Description() : Lang.GetOr("geo2", "none"));
}

}  // namespace tw
