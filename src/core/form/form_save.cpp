// File > Save: the last report as the table file.

#include <functional>
#include <string>
#include <string_view>

#include "form/form.h"

namespace tw {

bool TSDIAppForm::WriteCsvTo(const std::function<bool(std::string_view)>& write) const {
  return session_.WriteCsv(write);
}

bool TSDIAppForm::WriteCsv(const std::string& path, std::string& error) const {
  return session_.SaveCsv(path, error);
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
