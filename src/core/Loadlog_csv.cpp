// File > Save: the last report as the table file.

#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "Main_form.h"
#include "Report_csv.h"
#include "Text_format.h"

namespace tw {

bool TSDIAppForm::WriteCsvTo(const std::function<bool(std::string_view)>& write) const {
  return WriteReportCsv(Report, write);
}

bool TSDIAppForm::WriteCsv(const std::string& path, std::string& error) const {
  const int failure = SaveReportCsv(Report, path);
  if (failure == 0) return true;
  error = FormatText(Lang.GetOr("mes4", "Could not save the table to %s: %s"),
                     {path, std::strerror(failure)});
  return false;
}

void TSDIAppForm::ExportCsv(const std::string& path) {
  std::string error;
  if (!WriteCsv(path, error)) platform_.ShowMessage(error);
}

void TSDIAppForm::FileSave1Execute() {
  std::string path;
  if (platform_.AskSavePath(path)) ExportCsv(path);
}

}  // namespace tw
