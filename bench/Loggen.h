#pragma once

// A generator of realistic access logs in the Apache combined format, for
// benchmarks and for trying the program on a log of any size.
//
//   95.27.14.201 - - [05/Mar/2025:14:02:17 +0300] "GET /catalog/laptops/ HTTP/1.1" 200 41213
//     "http://yandex.ru/yandsearch?text=%D0%BD%D0%BE%D1%83%D1%82%D0%B1%D1%83%D0%BA%D0%B8&lr=213"
//     "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0.0.0 ..."
//
// The same options give the same log, byte for byte, on every platform. Times
// rise through the chosen months (beginning with the last hours of the month
// before), with more people by day than by night and on weekdays than at
// weekends; crawlers come at any hour. About one line in a thousand is
// damaged the way real logs are: a line without referrer and user agent, a
// line cut short, binary garbage, an empty line, a timed-out connection.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tw::loggen {

struct LoggenOptions {
  std::uint64_t lines = 10000;
  std::uint64_t seed = 1;
  int start_year = 2025;
  int start_month = 3;  // 1-12
  int month_span = 1;   // months covered
  int lead_in_hours = 2;  // hours of the previous month's last day before the first month
  std::string site_name = "www.example-shop.ru";
  std::string zone = "+0300";
  int robot_percent = 30;        // share of lines from crawlers, tools and scanners
  int ipv6_percent = 7;          // share of people with an IPv6 address (regulars make more lines)
  int https_referrer_percent = 10;  // outside referrers that use https
  int malformed_per_100000 = 100;   // damaged lines
};

// What went into the log.
struct LoggenStats {
  std::uint64_t lines = 0;
  std::uint64_t bytes = 0;  // line ends included
  std::uint64_t malformed_lines = 0;
  std::uint64_t robot_lines = 0;
  std::uint64_t crawler_lines = 0;  // lines of the known crawlers
  std::uint64_t ipv6_lines = 0;
};

// Returns an empty text when the options are usable, or what is wrong with them.
std::string CheckOptions(const LoggenOptions& options);

// Produces the lines one by one, in time order.
class LogGenerator {
 public:
  // REQUIRES: CheckOptions(options) is empty.
  explicit LogGenerator(const LoggenOptions& options);
  ~LogGenerator();
  LogGenerator(const LogGenerator&) = delete;
  LogGenerator& operator=(const LogGenerator&) = delete;

  // Stores the next line, without its line end, in `line`; false after the last.
  bool Next(std::string& line);

  const LoggenStats& Stats() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes the whole log to `out`, each line ended by "\n". Returns false when
// writing fails. `stats` may be null.
bool WriteLog(const LoggenOptions& options, std::FILE* out, LoggenStats* stats);

}  // namespace tw::loggen
