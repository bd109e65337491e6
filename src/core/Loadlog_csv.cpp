// The statistics table as shown, saved as semicolon-separated text.

#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <string_view>

#include "Loadlog_atomic_file.h"
#include "Loadlog_csv_field.h"
#include "Main_form.h"
#include "Text_format.h"

namespace tw {

namespace {

// "для " in Windows-1251, before the analysed address.
constexpr std::string_view kForPrefix = "\xE4\xEB\xFF\x20";
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

bool TSDIAppForm::WriteCsvTo(const std::function<bool(std::string_view)>& write) const {
  std::string line = CsvTitleLine(GroupBox4.Caption);
  line += kLineEnd;
  line += CsvTitleLine(std::string(kForPrefix) + Label8.Caption);
  line += kLineEnd;
  if (!write(line)) return false;
  const int rows = StringGrid1.RowCount();
  const int cols = StringGrid1.ColCount();
  for (int r = 0; r < rows; ++r) {
    line.clear();
    for (int c = 1; c < cols; ++c) AppendCsvField(line, StringGrid1.Cell(c, r));
    line += kLineEnd;
    if (!write(line)) return false;
  }
  return true;
}

bool TSDIAppForm::WriteCsv(const std::string& path, std::string& error) const {
  int failure = 0;
  try {
    // Written whole or not at all: a failed save leaves an existing file as it was.
    AtomicFile file(path);
    WriteCsvTo([&file](std::string_view bytes) {
      file.Write(bytes);
      return file.error() == 0;
    });
    failure = file.Commit();
  } catch (const std::bad_alloc&) {
    failure = ENOMEM;  // the unfinished file is gone with `file`
  }
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
