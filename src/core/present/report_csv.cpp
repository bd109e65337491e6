#include "present/report_csv.h"

#include <cerrno>
#include <new>

#include "base/atomic_file.h"
#include "base/csv_field.h"

namespace tw {

namespace {

// "для " in Windows-1251, before the analysed address.
constexpr std::string_view kForPrefix = "\xE4\xEB\xFF\x20";
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

bool WriteReportCsv(const ReportResult& result,
                    const std::function<bool(std::string_view)>& write) {
  std::string line = CsvTitleLine(result.title);
  line += kLineEnd;
  line += CsvTitleLine(std::string(kForPrefix) + result.subject);
  line += kLineEnd;
  if (!write(line)) return false;
  const int rows = result.RowCount();
  const int cols = result.ColCount();
  for (int r = 0; r < rows; ++r) {
    line.clear();
    for (int c = 1; c < cols; ++c) AppendCsvField(line, result.Cell(c, r));
    line += kLineEnd;
    if (!write(line)) return false;
  }
  return true;
}

int SaveReportCsv(const ReportResult& result, const std::string& path) {
  try {
    AtomicFile file(path);
    WriteReportCsv(result, [&file](std::string_view bytes) {
      file.Write(bytes);
      return file.error() == 0;
    });
    return file.Commit();
  } catch (const std::bad_alloc&) {
    return ENOMEM;  // the unfinished file is gone with `file`
  }
}

}  // namespace tw
