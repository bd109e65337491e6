#pragma once

// Generated logs for the property tests, and a form that loads them.
//
// MixedLog(seed) takes the lines of the realistic log generator and mixes in
// what real files hold besides good lines: blank lines, CR LF ends, NUL bytes,
// lines longer than a piece, lines that end right at a piece's edge, other
// letter case, other years, days that don't exist, a last line without its
// line feed, statuses and hosts written unusually, and paths holding encoded
// quotes, semicolons, line ends and slashes. The same seed gives the same bytes.
//
// SplitPieces cuts bytes the way the loader reads them: a piece ends right
// after '\n' or after 8190 characters. ParsedPieces tells which pieces the
// parser accepts, with pools of its own, so the tests know the outcome of a
// load without asking the loader.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Loggen.h"
#include "analysis/report_kinds.h"
#include "fake_platform.h"
#include "form/form.h"
#include "log/ipv6_table.h"
#include "log/record.h"
#include "log/string_pool.h"
#include "parse/parser.h"
#include "read_file.h"
#include "temp_folder.h"

namespace tw::testing {

namespace props_fs = std::filesystem;

// The most characters the loader hands the parser at once.
inline constexpr std::size_t kPieceLength = 8190;

class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n). REQUIRES: n > 0.
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }
  // Uniform in [lo, hi].
  std::size_t Range(std::size_t lo, std::size_t hi) { return lo + Below(hi - lo + 1); }

 private:
  std::uint64_t state_;
};

struct MixedLogOptions {
  std::uint64_t seed = 1;
  std::uint64_t generated_lines = 3000;  // lines taken from the log generator
  int start_year = 2025;
  int start_month = 3;
  int month_span = 1;
  int troubles_per_1000 = 120;  // generated lines that get damaged or changed
};

// The position of the year in "[05/Mar/2025:..." within a generated line, or npos.
inline std::size_t YearPosition(const std::string& line) {
  const std::size_t open = line.find('[');
  if (open == std::string::npos || open + 12 > line.size() || line[open + 3] != '/' ||
      line[open + 7] != '/') {
    return std::string::npos;
  }
  return open + 8;
}

inline std::string MixedLog(const MixedLogOptions& options) {
  loggen::LoggenOptions gen_options;
  gen_options.lines = options.generated_lines;
  gen_options.seed = options.seed;
  gen_options.start_year = options.start_year;
  gen_options.start_month = options.start_month;
  gen_options.month_span = options.month_span;
  gen_options.malformed_per_100000 = 2000;
  loggen::LogGenerator generator(gen_options);
  SplitMix64 rng(options.seed * 0x2545F4914F6CDD1DULL + 7);

  std::string log;
  std::string line;
  while (generator.Next(line)) {
    if (rng.Below(1000) >= static_cast<std::uint64_t>(options.troubles_per_1000)) {
      log += line;
      log += '\n';
      continue;
    }
    switch (rng.Below(15)) {
      case 0:  // a blank line before it
        log += rng.Below(2) == 0 ? "\n" : "\r\n";
        log += line + "\n";
        break;
      case 1:  // CR LF
        log += line + "\r\n";
        break;
      case 2:  // a NUL byte somewhere, the line start included
        line.insert(rng.Range(0, line.size()), 1, '\0');
        log += line + "\n";
        break;
      case 3: {  // blanks run the line past a piece: the first piece keeps the fields
        const std::size_t length = rng.Range(kPieceLength + 1, 3 * kPieceLength + 50);
        if (line.size() < length) line.append(length - line.size(), ' ');
        log += line + "\n";
        break;
      }
      case 4: {  // a request path longer than a piece
        const std::size_t get = line.find("\"GET /");
        if (get != std::string::npos) {
          line.insert(get + 6, rng.Range(kPieceLength - 200, 2 * kPieceLength + 10), 'x');
        }
        log += line + "\n";
        break;
      }
      case 5: {  // ends right at a piece's edge: 8189, 8190 or 8191 characters before '\n'
        const std::size_t length = kPieceLength - 1 + rng.Below(3);
        if (line.size() < length) line.append(length - line.size(), ' ');
        log += line + "\n";
        break;
      }
      case 6:  // letters in the other case
        for (char& c : line) {
          if (c >= 'a' && c <= 'z' && rng.Below(4) == 0) c = static_cast<char>(c - 'a' + 'A');
        }
        log += line + "\n";
        break;
      case 7: {  // the same month of another year
        const std::size_t at = YearPosition(line);
        if (at != std::string::npos && line[at] == '2') line[at + 3] = static_cast<char>('0' + (line[at + 3] - '0' + 9) % 10);
        log += line + "\n";
        break;
      }
      case 8: {  // day 0, or a late day that some months don't have
        static constexpr const char* kDays[] = {"00", "29", "30", "31"};
        const std::size_t at = YearPosition(line);
        if (at != std::string::npos) line.replace(at - 7, 2, kDays[rng.Below(4)]);
        log += line + "\n";
        break;
      }
      case 9: {  // binary garbage, sometimes longer than a piece
        const std::size_t length = rng.Below(3) == 0 ? rng.Range(kPieceLength, 20000) : rng.Range(1, 300);
        for (std::size_t i = 0; i < length; ++i) {
          char c = static_cast<char>(rng.Below(256));
          if (c == '\n') c = '\r';
          log += c;
        }
        log += '\n';
        break;
      }
      case 10:  // a bare CR inside the line
        line.insert(rng.Range(0, line.size()), 1, '\r');
        log += line + "\n";
        break;
      case 11: {  // a status written unusually: signed, padded, out of range
        static constexpr const char* kStatuses[] = {"-404", "0200", "+302", "0", "999", "99999999999"};
        const std::size_t request = line.find(" HTTP/");
        const std::size_t start = request == std::string::npos ? request : line.find("\" ", request);
        const std::size_t end = start == std::string::npos ? start : line.find(' ', start + 2);
        if (end != std::string::npos) line.replace(start + 2, end - start - 2, kStatuses[rng.Below(6)]);
        log += line + "\n";
        break;
      }
      case 12: {  // a client host that is short, extreme or IPv6
        static constexpr const char* kHosts[] = {"10.1", "0.0.0.0", "255.255.255.255", "::1",
                                                 "2a02:6b8::1", "01.02.03.04", "256.1.1.1"};
        const std::size_t blank = line.find(' ');
        if (blank != std::string::npos) line.replace(0, blank, kHosts[rng.Below(7)]);
        log += line + "\n";
        break;
      }
      case 13: {  // encoded characters in the path that mean something to a table or a tree
        static constexpr const char* kEncoded[] = {"%22", "%3B", "%0D", "%0A", "%2F", "%20",
                                                   "%D0%9F", "%41", "%25", "%00"};
        const std::size_t get = line.find("\"GET /");
        if (get != std::string::npos) line.insert(get + 6, kEncoded[rng.Below(10)]);
        log += line + "\n";
        break;
      }
      default:  // the same line twice
        log += line + "\n" + line + "\n";
        break;
    }
  }
  // Some logs end without a line feed.
  if (options.seed % 2 == 1 && !log.empty() && log.back() == '\n') log.pop_back();
  return log;
}

// The pieces the loader reads, in order.
inline std::vector<std::string_view> SplitPieces(std::string_view bytes) {
  std::vector<std::string_view> pieces;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t length = 0;
    while (pos + length < bytes.size() && length < kPieceLength) {
      ++length;
      if (bytes[pos + length - 1] == '\n') break;
    }
    pieces.push_back(bytes.substr(pos, length));
    pos += length;
  }
  return pieces;
}

// The parser's verdict on every piece, with pools of its own.
class ParsedPieces {
 public:
  explicit ParsedPieces(const std::vector<std::string_view>& pieces) {
    ParseContext ctx;
    ctx.UrlPool = &url_;
    ctx.ReferrerPool = &referrer_;
    ctx.UserAgentPool = &agent_;
    ctx.SearchPhrasePool = &phrase_;
    ctx.ReferrerDomainPool = &domain_;
    ctx.Ipv6Addresses = &ipv6_;
    for (std::string_view piece : pieces) {
      LogRecord record;
      if (ParseLogLine(ctx, piece, &record)) {
        accepted.push_back(record);
      } else {
        rejected.push_back(piece);
      }
    }
  }
  std::vector<LogRecord> accepted;  // texts point into this object's pools
  std::vector<std::string_view> rejected;

 private:
  StringPool url_, referrer_, agent_, phrase_, domain_;
  Ipv6AddressTable ipv6_;
};

inline void WriteBytes(const props_fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The site the generator writes about, as a log file name gives it.
inline constexpr const char* kGeneratedLogName = "www.example-shop.ru-access_log";

// The kinds the property tests run: every kind of the registry but those
// whose rows depend on the location database of the machine (the location
// tests cover those with a database of their own).
inline std::vector<const ReportKindInfo*> PropertyKinds() {
  std::vector<const ReportKindInfo*> kinds;
  for (const ReportKindInfo& kind : kReportKinds) {
    if (kind.Places == GeoLevel::kNone) kinds.push_back(&kind);
  }
  return kinds;
}

// The registry entry named `name`. REQUIRES: there is one.
inline const ReportKindInfo& KindNamed(std::string_view name) {
  const ReportKindInfo* kind = FindReportKindByName(name);
  EXPECT_NE(kind, nullptr) << name;
  return kind != nullptr ? *kind : kReportKinds[0];
}

// A temporary folder and forms over the shipped language pack, crawler list
// and engine list (the test binary's folder).
class PropertyFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    dir_ = folder_.path();
    form_ = std::make_unique<TSDIAppForm>(platform_);
  }
  void TearDown() override { form_.reset(); }

  // Writes `bytes` as the log `name` in the temporary folder; returns its path.
  std::string WriteLog(std::string_view bytes, const std::string& name = kGeneratedLogName) {
    const props_fs::path path = dir_ / name;
    WriteBytes(path, bytes);
    return path.string();
  }

  // Chooses request filter 1-3, which rebuilds the tree with the root selected.
  static void ChooseFilter(TSDIAppForm& form, int filter) {
    form.CheckRequestButton(filter);
    form.RadioButton14Click();
  }

  // One analysis run of report `kind` over the section `section` ("/": the
  // whole site), crawlers dropped or kept, under the filter chosen last.
  static void Run(TSDIAppForm& form, std::string_view kind, bool skip_crawlers,
                  const std::string& section = "/") {
    Run(form, KindNamed(kind), skip_crawlers, section);
  }
  static void Run(TSDIAppForm& form, const ReportKindInfo& kind, bool skip_crawlers,
                  const std::string& section = "/") {
    form.CheckReportButton(&kind);
    EXPECT_TRUE(form.SelectSectionByPath(section)) << section;
    form.CheckBox1.Checked = skip_crawlers;
    form.RunAnalysis();
  }

  TempFolder folder_;
  props_fs::path dir_;
  FakePlatform platform_;
  std::unique_ptr<TSDIAppForm> form_;
};


// A cell read as a whole number; fails the test when it is not one.
inline long long CellNumber(const StatGrid& grid, int col, int row) {
  const std::string text = grid.Cell(col, row);
  std::size_t used = 0;
  long long value = -1;
  try {
    value = std::stoll(text, &used);
  } catch (...) {
    used = 0;
  }
  EXPECT_TRUE(used == text.size() && !text.empty())
      << "cell (" << col << ", " << row << ") is \"" << text << "\", not a number";
  return value;
}

}  // namespace tw::testing
