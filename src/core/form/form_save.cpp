// File > Save: the last report as the table file or a shared output; File >
// Export report: every report of the current choices as one HTML page.

#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <string_view>

#include "base/text_format.h"
#include "form/form.h"
#include "form/program_header.h"
#include "present/shared_output.h"

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

void TSDIAppForm::SaveShared(SharedFormat format, const std::vector<const ReportResult*>& reports,
                             const std::string& path) {
  const int failure = SaveSharedOutput(format, ProgramOutputHeader(session_), reports, Lang, path);
  if (failure == 0) return;
  platform_.ShowMessage(FormatText(Lang.GetOr("mes4", "Could not save the table to %s: %s"),
                                   {path, std::strerror(failure)}));
}

void TSDIAppForm::FileSave1Execute() {
  std::string path;
  SaveType type = SaveType::kTable;
  if (!platform_.AskSavePath(path, type)) return;
  switch (type) {
    case SaveType::kTable: return ExportCsv(path, TableEncoding::kWindows1251);
    case SaveType::kTableUtf8: return ExportCsv(path, TableEncoding::kUtf8);
    case SaveType::kCsv: return SaveShared(SharedFormat::kCsv, {&session_.Report()}, path);
    case SaveType::kJson: return SaveShared(SharedFormat::kJson, {&session_.Report()}, path);
    case SaveType::kHtml: return SaveShared(SharedFormat::kHtml, {&session_.Report()}, path);
  }
}

void TSDIAppForm::FileExportExecute() {
  std::string path;
  if (!platform_.AskExportPath(path)) return;
  try {
    const std::vector<ReportResult> every = session_.AnalyseEvery(CurrentSelectionChoice());
    std::vector<const ReportResult*> reports;
    for (const ReportResult& r : every) reports.push_back(&r);
    SaveShared(SharedFormat::kHtml, reports, path);
  } catch (const std::bad_alloc&) {
    platform_.ShowMessage(FormatText(Lang.GetOr("mes4", "Could not save the table to %s: %s"),
                                     {path, std::strerror(ENOMEM)}));
  }
}

}  // namespace tw
