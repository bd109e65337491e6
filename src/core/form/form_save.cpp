// File > Save: the last report as the table file.

#include <functional>
#include <string>
#include <string_view>

#include "form/form.h"

namespace tw {

bool TSDIAppForm::WriteCsvTo(const std::function<bool(std::string_view)>& write) const {
  return session_.WriteCsv(write);
}

bool TSDIAppForm::WriteCsv(const std::string& path, std::string& error,
                           TableEncoding encoding) const {
  return session_.SaveCsv(path, error, encoding);
}

void TSDIAppForm::ExportCsv(const std::string& path, TableEncoding encoding) {
  std::string error;
  if (!WriteCsv(path, error, encoding)) platform_.ShowMessage(error);
}

void TSDIAppForm::FileSave1Execute() {
  std::string path;
  SaveType type = SaveType::kTable;
  if (!platform_.AskSavePath(path, type)) return;
  ExportCsv(path, type == SaveType::kTableUtf8 ? TableEncoding::kUtf8 : TableEncoding::kWindows1251);
}

}  // namespace tw
