#include "present/report_csv.h"

#include <cerrno>
#include <new>

#include "base/atomic_file.h"
#include "base/cp1251.h"
#include "base/csv_field.h"

namespace tw {

namespace {

// Before the analysed address.
constexpr std::string_view kForPrefix = "для ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A line of UTF-8 in the table's encoding, in place: the code page's form is never longer.
void Encode(std::string& line, TableEncoding encoding) {
  if (encoding == TableEncoding::kWindows1251) line.resize(Utf8ToCp1251(line, line.data()));
}

}  // namespace

bool WriteReportCsv(const ReportResult& result,
                    const std::function<bool(std::string_view)>& write, TableEncoding encoding,
                    ByteOrderMark mark) {
  std::string line;
  if (encoding == TableEncoding::kUtf8 && mark == ByteOrderMark::kWrite) line = kByteOrderMark;
  line += CsvTitleLine(result.title);
  line += kLineEnd;
  line += CsvTitleLine(std::string(kForPrefix) + result.subject);
  line += kLineEnd;
  Encode(line, encoding);
  if (!write(line)) return false;
  const int rows = result.RowCount();
  const int cols = result.ColCount();
  for (int r = 0; r < rows; ++r) {
    line.clear();
    for (int c = 1; c < cols; ++c) AppendCsvField(line, result.Cell(c, r));
    line += kLineEnd;
    Encode(line, encoding);
    if (!write(line)) return false;
  }
  return true;
}

int SaveReportCsv(const ReportResult& result, const std::string& path, TableEncoding encoding) {
  try {
    AtomicFile file(path);
    WriteReportCsv(
        result,
        [&file](std::string_view bytes) {
          file.Write(bytes);
          return file.error() == 0;
        },
        encoding, ByteOrderMark::kWrite);
    return file.Commit();
  } catch (const std::bad_alloc&) {
    return ENOMEM;  // the unfinished file is gone with `file`
  }
}

}  // namespace tw
