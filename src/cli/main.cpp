// tallyweave-report: loads an access log into a session, as the window does,
// runs one report (or every one) for the choices given and writes it: the
// table file File > Save writes for those choices, or CSV, TSV or JSON.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_kinds.h"
#include "analysis/site_tree.h"
#include "base/utf8.h"
#include "form/headless_platform.h"
#include "form/program_header.h"
#include "geo/find.h"
#include "present/shared_output.h"
#include "session/session.h"

namespace {

constexpr const char* kUsageHead =
    "usage: tallyweave-report [--report NAME] [--requests html|no-graphics|all] [--crawlers]\n"
    "                         [--section PATH] [--month YYYY-MM | --from YYYY-MM-DD --to YYYY-MM-DD]\n"
    "                         [--format NAME|STRING] [--encoding windows-1251|utf-8]\n"
    "                         [--as legacy|csv|tsv|json|html] [--output FILE] LOGFILE...\n"
    "\n"
    "Loads the LOGFILEs as one log, oldest first (plain, or packed with gzip, bzip2,\n"
    "xz or zstd), runs one report and writes it to FILE, or to standard output.\n"
    "\n"
    "  --report NAME     ";

constexpr const char* kUsageTail =
    "  --requests KIND   html (default), no-graphics or all\n"
    "  --crawlers        count crawler requests too (they are left out by default)\n"
    "  --section PATH    only requests below this section of the site, e.g. /news/2008\n"
    "  --format NAME     read every file as combined, vhost_combined, combined_extra or\n"
    "                    common, or as an Apache LogFormat STRING such as\n"
    "                    '%h %l %u %t \"%r\" %>s %b'; by default each file's format is\n"
    "                    recognised from its first lines\n"
    "  --month YYYY-MM   analyse this month (default: the month of the middle record)\n"
    "  --from YYYY-MM-DD analyse from this day on (to the latest day of the log)\n"
    "  --to YYYY-MM-DD   analyse up to this day (from the earliest day of the log)\n"
    "  --as FORMAT       legacy (default): the semicolon table File > Save writes;\n"
    "                    csv: RFC 4180 CSV in UTF-8, a header row, no totals;\n"
    "                    tsv: the same, tab-separated; json: one document with the\n"
    "                    log's counts, the choices, every row and the totals;\n"
    "                    html: a page to share, with a chart and the table of each\n"
    "  --encoding NAME   of the legacy table:\n"
    "                    windows-1251 (default; a character it lacks becomes \"?\") or\n"
    "                    utf-8 (every text as written; a FILE then begins with the\n"
    "                    byte-order mark, standard output does not)\n"
    "  --output FILE     write the CSV to FILE instead of standard output\n"
    "\n"
    "The countries report needs a location database: Debian's geoip-database, or a\n"
    "GeoLite2-Country.mmdb or dbip-country-lite.mmdb; the cities report needs a\n"
    "GeoLite2-City.mmdb or dbip-city-lite.mmdb, beside the program or in /var/lib/GeoIP.\n"
    "\n"
    "Rejected lines are copied to LOGFILE.err. The summary goes to standard error.\n"
    "Exits with 1 when a file cannot be read, or breaks off part way (the CSV is\n"
    "then still written from what came before), and with 2 on bad usage or when the\n"
    "report's location database is missing.\n";

// The report names of the registry, the first marked as the default, wrapped
// under the option's column.
std::string ReportNamesText() {
  constexpr std::size_t kWidth = 86;
  const std::string indent(20, ' ');
  std::string text;
  std::size_t line = indent.size();
  bool first = true;
  for (const tw::ReportKindInfo& info : tw::kReportKinds) {
    std::string word = info.CliName;
    if (first) word += " (default)";
    if (!first) {
      text += ',';
      ++line;
      if (line + 1 + word.size() > kWidth) {
        text += "\n" + indent;
        line = indent.size();
      } else {
        text += ' ';
        ++line;
      }
    }
    text += word;
    line += word.size();
    first = false;
  }
  return text + ",\n" + indent + "or all (every report, with --as json or html)\n";
}

std::string Usage() { return kUsageHead + ReportNamesText() + kUsageTail; }

enum class OutputFormat { kLegacy, kCsv, kTsv, kJson, kHtml };

struct Options {
  const tw::ReportKindInfo* kind = &tw::kReportKinds[0];  // null: every kind
  OutputFormat as = OutputFormat::kLegacy;
  bool encoding_given = false;
  int filter = 1;
  bool crawlers = false;
  std::string section;
  std::optional<tw::Period> month;
  std::optional<tw::CalendarDate> from, to;
  std::string output;
  tw::TableEncoding encoding = tw::TableEncoding::kWindows1251;
  std::vector<std::string> logs;
  std::optional<tw::LogFormat> format;  // none: recognised per file
};

// A format name, or else an Apache LogFormat string. Returns false with the
// reason in `error`.
bool ParseFormat(const std::string& text, tw::LogFormat& format, std::string& error) {
  if (tw::LogFormat::FromName(text, format)) return true;
  if (text.find('%') == std::string::npos) {
    error = "unknown log format '" + text + "'";
    return false;
  }
  return tw::LogFormat::FromApacheString(text, format, error);
}

int UsageError(const std::string& message) {
  std::cerr << "tallyweave-report: " << message << "\n\n" << Usage();
  return 2;
}

// Returns 0 when the options are sound, else the exit status after a message.
int ParseOptions(int argc, char** argv, Options& o) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      std::cout << Usage();
      return -1;
    } else if (a == "--report") {
      if (!value(v)) return UsageError("--report needs a report name");
      const tw::ReportKindInfo* info = tw::FindReportKindByName(v);
      if (info == nullptr && v != "all") return UsageError("unknown report '" + v + "'");
      o.kind = info;
    } else if (a == "--as") {
      if (!value(v)) return UsageError("--as needs legacy, csv, tsv, json or html");
      static const std::pair<const char*, OutputFormat> kFormats[] = {
          {"legacy", OutputFormat::kLegacy}, {"csv", OutputFormat::kCsv},
          {"tsv", OutputFormat::kTsv},       {"json", OutputFormat::kJson},
          {"html", OutputFormat::kHtml}};
      const auto found = std::find_if(std::begin(kFormats), std::end(kFormats),
                                      [&](const auto& f) { return v == f.first; });
      if (found == std::end(kFormats)) return UsageError("unknown output format '" + v + "'");
      o.as = found->second;
    } else if (a == "--requests") {
      if (!value(v)) return UsageError("--requests needs html, no-graphics or all");
      if (v == "html") {
        o.filter = 1;
      } else if (v == "no-graphics") {
        o.filter = 2;
      } else if (v == "all") {
        o.filter = 3;
      } else {
        return UsageError("unknown request kind '" + v + "'");
      }
    } else if (a == "--crawlers") {
      o.crawlers = true;
    } else if (a == "--section") {
      if (!value(o.section)) return UsageError("--section needs a path such as /news");
      o.section = tw::AsUtf8(o.section);  // the tree's texts are UTF-8
    } else if (a == "--format") {
      if (!value(v)) return UsageError("--format needs a format name or a LogFormat string");
      tw::LogFormat format;
      std::string error;
      if (!ParseFormat(v, format, error)) return UsageError(error);
      o.format = format;
    } else if (a == "--month") {
      int year = 0, month = 0;
      if (!value(v) || !tw::ParseIsoMonth(v, &year, &month)) {
        return UsageError("--month needs a month such as 2013-03");
      }
      o.month = tw::MonthPeriod(year, month);
    } else if (a == "--from" || a == "--to") {
      tw::CalendarDate date;
      if (!value(v) || !tw::ParseIsoDate(v, &date)) {
        return UsageError(a + " needs a calendar date such as 2013-03-05");
      }
      (a == "--from" ? o.from : o.to) = date;
    } else if (a == "--encoding") {
      if (!value(v)) return UsageError("--encoding needs windows-1251 or utf-8");
      o.encoding_given = true;
      if (v == "windows-1251") {
        o.encoding = tw::TableEncoding::kWindows1251;
      } else if (v == "utf-8") {
        o.encoding = tw::TableEncoding::kUtf8;
      } else {
        return UsageError("unknown encoding '" + v + "'");
      }
    } else if (a == "--output") {
      if (!value(o.output)) return UsageError("--output needs a file name");
    } else if (a.size() > 1 && a[0] == '-') {
      return UsageError("unknown option '" + a + "'");
    } else {
      o.logs.push_back(a);
    }
  }
  if (o.logs.empty()) return UsageError("no log file given");
  if (o.kind == nullptr && o.as != OutputFormat::kJson && o.as != OutputFormat::kHtml) {
    return UsageError("--report all writes one document: it needs --as json or --as html");
  }
  if (o.encoding_given && o.as != OutputFormat::kLegacy) {
    return UsageError("--encoding is for the legacy table; csv, tsv, json and html are UTF-8");
  }
  if (o.month && (o.from || o.to)) return UsageError("--month cannot be given with --from or --to");
  if (o.from && o.to && tw::CompareDates(*o.from, *o.to) > 0) {
    return UsageError("--from is after --to");
  }
  return 0;
}

// The period the options choose; a missing end is the log's earliest or latest
// date. Without period options, the month of the log's middle record. A log
// without records has the empty report of January 2008 whatever is chosen.
tw::Period ChosenPeriod(const Options& o, const tw::Session& session) {
  if (session.RecordCount() <= 0) return tw::EmptyLogPeriod();
  if (o.month) return *o.month;
  if (!o.from && !o.to) return session.PeriodAfterLoad();
  const tw::LogDates dates = session.Dates();
  const tw::CalendarDate earliest = dates.any ? dates.earliest : *(o.from ? o.from : o.to);
  const tw::CalendarDate latest = dates.any ? dates.latest : *(o.to ? o.to : o.from);
  return tw::Period{o.from.value_or(earliest), o.to.value_or(latest)};
}

using Write = std::function<bool(std::string_view)>;

// The reports the output holds: the last report, or `every` when every kind was run.
std::vector<const tw::ReportResult*> Reports(const Options& o, const tw::Session& session,
                                            const std::vector<tw::ReportResult>& every) {
  if (o.kind != nullptr) return {&session.Report()};
  std::vector<const tw::ReportResult*> reports;
  for (const tw::ReportResult& r : every) reports.push_back(&r);
  return reports;
}

tw::SharedFormat SharedFormatOf(OutputFormat as) {
  switch (as) {
    case OutputFormat::kCsv: return tw::SharedFormat::kCsv;
    case OutputFormat::kTsv: return tw::SharedFormat::kTsv;
    case OutputFormat::kJson: return tw::SharedFormat::kJson;
    default: return tw::SharedFormat::kHtml;
  }
}

// Standard output, or the file named by --output written whole or not at all
// (the legacy table through the session, as File > Save writes it). Prints
// why and returns false on a failure, running out of memory included.
bool WriteOutputWhere(const Options& o, const tw::Session& session,
                      const std::vector<tw::ReportResult>& every) {
  try {
    const bool legacy = o.as == OutputFormat::kLegacy;
    const tw::OutputHeader header = legacy ? tw::OutputHeader{} : tw::ProgramOutputHeader(session);
    if (o.output.empty()) {
      const Write out = [](std::string_view bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
      };
      const bool written = legacy ? session.WriteCsv(out, o.encoding)
                                  : tw::WriteSharedOutput(SharedFormatOf(o.as), header,
                                                          Reports(o, session, every), session.Lang(), out);
      if (std::fflush(stdout) == 0 && written) return true;
      std::cerr << "tallyweave-report: could not write to standard output\n";
      return false;
    }
    std::string error;
    if (legacy) {
      if (session.SaveCsv(o.output, error, o.encoding)) return true;
      std::cerr << error << '\n';
      return false;
    }
    const int failure = tw::SaveSharedOutput(SharedFormatOf(o.as), header, Reports(o, session, every),
                                             session.Lang(), o.output);
    if (failure == 0) return true;
    std::cerr << "tallyweave-report: could not write " << o.output << ": " << std::strerror(failure) << '\n';
    return false;
  } catch (const std::bad_alloc&) {
    std::cerr << "tallyweave-report: out of memory while writing the report\n";
    return false;
  }
}

// Runs the chosen report, or every kind whose location database is there
// (saying which are left out).
std::vector<tw::ReportResult> RunChosen(const Options& o, tw::Session& session,
                                        const tw::AnalysisChoice& choice) {
  if (o.kind != nullptr) {
    session.Analyse(choice);
    return {};
  }
  for (const tw::ReportKindInfo& kind : tw::kReportKinds) {
    const std::string missing = tw::GeoMissingMessage(session.GeoDatabase(), kind.Places);
    if (!missing.empty()) std::cerr << "tallyweave-report: left out " << kind.CliName << ": " << missing << "\n";
  }
  return session.AnalyseEvery(choice.selection);
}

// Prints a text of the core, UTF-8, to standard error.
void PrintLine(const std::string& text) { std::cerr << text << '\n'; }

// Everything is written: the loaded log goes back to the system with the
// process, much faster than freed block by block. The sanitizer build frees
// it all and returns, so that a leak still shows.
void EndWithoutFreeing(int status) {
#if defined(__SANITIZE_ADDRESS__)
  (void)status;
#else
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(status);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (int status = ParseOptions(argc, argv, o); status != 0) return status < 0 ? 0 : status;

  tw::HeadlessPlatform platform;
  tw::Session session(platform.ExeFolder());
  // A location report without its database is refused before the log is read.
  if (const std::string missing =
          o.kind != nullptr ? tw::GeoMissingMessage(session.GeoDatabase(), o.kind->Places) : "";
      !missing.empty()) {
    std::cerr << "tallyweave-report: " << missing << "\n";
    return 2;
  }
  session.format = o.format;
  // The log keeps no referrers that the report never reads.
  session.keep_referrers = o.kind == nullptr || o.kind->ReadsReferrers;
  const tw::LoadOutcome loaded = session.Load(o.logs);
  // What the window shows in its information box and message boxes goes to
  // standard error: the counts, and why a load stopped or what it could not write.
  for (const std::string& line : session.InformationLines()) PrintLine(line);
  PrintLine(loaded.message);
  if (!loaded.error.empty()) return 1;  // refused, unreadable, crawler list, memory

  tw::AnalysisChoice choice{o.kind, {}};
  choice.selection.request_filter = o.filter;
  choice.selection.skip_crawlers = !o.crawlers;
  if (!o.section.empty()) {
    // The section must be one of the tree that the request kind shapes.
    if (tw::FindSection(session.SiteTree(o.filter).get(), o.section) == nullptr) {
      return UsageError("the site has no section '" + o.section + "'");
    }
    choice.selection.section = o.section;
  }
  choice.selection.period = ChosenPeriod(o, session);
  const std::vector<tw::ReportResult> every = RunChosen(o, session, choice);

  // The legacy table is exactly the bytes the window's File > Save writes.
  if (!WriteOutputWhere(o, session, every)) return 1;
  // A file that broke off part way: the CSV holds what came before.
  const int status = loaded.warning.empty() ? 0 : 1;
  EndWithoutFreeing(status);
  return status;
}
