#include "present/report_csv.h"

#include <cerrno>
#include <new>

#include "base/atomic_file.h"
#include "base/cp1251.h"
#include "base/csv_field.h"

namespace tw {

namespace {

// "для " in Windows-1251, before the analysed address.
constexpr std::string_view kForPrefix = "\xE4\xEB\xFF\x20";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool WriteReportCsv(const ReportResult& result,
                    const std::function<bool(std::string_view)>& write, TableEncoding encoding) {
  // Lines are built in the report's own text and converted whole.
  const auto put = [&](const std::string& line) {
    return encoding == TableEncoding::kUtf8 ? write(Cp1251ToUtf8(line)) : write(line);
  };
  std::string line = CsvTitleLine(result.title);
  line += kLineEnd;
  line += CsvTitleLine(std::string(kForPrefix) + result.subject);
  line += kLineEnd;
  if (!put(line)) return false;
  const int rows = result.RowCount();
  const int cols = result.ColCount();
  for (int r = 0; r < rows; ++r) {
    line.clear();
    for (int c = 1; c < cols; ++c) AppendCsvField(line, result.Cell(c, r));
    line += kLineEnd;
    if (!put(line)) return false;
  }
  return true;
}

int SaveReportCsv(const ReportResult& result, const std::string& path, TableEncoding encoding) {
  try {
    AtomicFile file(path);
    if (encoding == TableEncoding::kUtf8) file.Write(kUtf8ByteOrderMark);
    WriteReportCsv(result, [&file](std::string_view bytes) {
      file.Write(bytes);
      return file.error() == 0;
    }, encoding);
    return file.Commit();
  } catch (const std::bad_alloc&) {
    return ENOMEM;  // the unfinished file is gone with `file`
  }
}

}  // namespace tw
