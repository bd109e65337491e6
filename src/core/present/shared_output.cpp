#include "present/shared_output.h"

#include <cerrno>
#include <new>

#include "base/atomic_file.h"
#include "present/report_html.h"
#include "present/report_table.h"

namespace tw {

bool WriteSharedOutput(SharedFormat format, const OutputHeader& header,
                       const std::vector<const ReportResult*>& reports, const LanguagePack& lang,
                       const std::function<bool(std::string_view)>& write) {
  switch (format) {
    case SharedFormat::kCsv: return WriteReportTable(*reports.front(), TableDialect::kCsv, write);
    case SharedFormat::kTsv: return WriteReportTable(*reports.front(), TableDialect::kTsv, write);
    case SharedFormat::kJson: return write(ReportsJson(header, reports));
    case SharedFormat::kHtml: return write(ReportsHtml(header, reports, lang));
  }
  return false;
}

int SaveSharedOutput(SharedFormat format, const OutputHeader& header,
                     const std::vector<const ReportResult*>& reports, const LanguagePack& lang,
                     const std::string& path) {
  try {
    AtomicFile file(path);
    WriteSharedOutput(format, header, reports, lang, [&file](std::string_view bytes) {
      file.Write(bytes);
      return file.error() == 0;
    });
    return file.Commit();
  } catch (const std::bad_alloc&) {
    return ENOMEM;  // the unfinished file is gone with `file`
  }
}

}  // namespace tw
