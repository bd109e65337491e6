// The saved table read back by a reader of semicolon-separated values gives
// every cell again, for generated tables full of quotes, semicolons, line
// ends, Cyrillic bytes, empty cells and formula-like texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "analysis/report_kinds.h"
#include "analysis/report_rows.h"
#include "base/cp1251.h"
#include "base/delimited.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::ReadFile;

// Reads semicolon-separated records as a spreadsheet would: a field in
// double quotes may hold anything, "" standing for one quote; records end at
// CR LF outside quotes. Sets `ok` to false on anything malformed.
std::vector<std::vector<std::string>> ReadSemicolonRecords(const std::string& text, bool& ok) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::size_t i = 0;
  ok = true;
  while (i < text.size()) {
    std::string field;
    if (text[i] == '"') {
      ++i;
      for (;;) {
        if (i >= text.size()) {
          ok = false;  // no closing quote
          return records;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += text[i++];
      }
    } else {
      while (i < text.size() && text[i] != ';' && text.compare(i, 2, "\r\n") != 0) {
        if (text[i] == '"' || text[i] == '\r' || text[i] == '\n') ok = false;  // must be quoted
        field += text[i++];
      }
    }
    record.push_back(field);
    if (i < text.size() && text[i] == ';') {
      ++i;
      if (text.compare(i, 2, "\r\n") == 0) {
        record.emplace_back();  // the empty field after the last semicolon
        i += 2;
        records.push_back(record);
        record.clear();
      }
    } else if (text.compare(i, 2, "\r\n") == 0) {
      i += 2;
      records.push_back(record);
      record.clear();
    } else if (i < text.size()) {
      ok = false;  // text right after a closing quote
      return records;
    }
  }
  if (!record.empty()) ok = false;  // no line end after the last record
  return records;
}

// What a cell reads back as: a spreadsheet would run a text beginning with
// = + - @ tab or CR, unless it is the lone dash or a plain number, so those
// are saved with an apostrophe before them.
// A UTF-8 cell as the Windows-1251 table gives it back.
std::string ExpectedReadBack(const std::string& utf8_cell) {
  const std::string cell = Utf8ToCp1251(utf8_cell);
  static const std::regex kNumber(R"([+-]?[0-9]+(\.[0-9]+)?%?)");
  const bool risky = !cell.empty() && std::string("=+-@\t\r").find(cell[0]) != std::string::npos;
  if (!risky || cell == "-" || std::regex_match(cell, kNumber)) return cell;
  return "'" + cell;
}

class CellGenerator {
 public:
  explicit CellGenerator(std::uint64_t seed) : random_(seed) {}

  std::string Cell() {
    switch (Below(10)) {
      case 0:
        return "";
      case 1: {  // numbers, which are never guarded
        static const char* const kNumbers[] = {"-5", "+3", "12.50%", "-0.25%", "0", "-", "--"};
        return kNumbers[Below(7)];
      }
      case 2: {  // formula starts
        static const char* const kStarts[] = {"=", "+", "-", "@", "\t", "\r"};
        return kStarts[Below(6)] + Text(Below(12));
      }
      default:
        return Text(Below(24));
    }
  }

  std::string Text(std::size_t length) {
    // Bytes that trouble a semicolon-separated file, Cyrillic letters and plain ones.
    static const std::string kTroubles = "\";\r\n\t '=+-@%.,\\";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
      switch (Below(4)) {
        case 0: text += kTroubles[Below(kTroubles.size())]; break;
        case 1: text += Cp1251ToUtf8(std::string(1, static_cast<char>(0xC0 + Below(64)))); break;  // А..я
        case 2: text += static_cast<char>('0' + Below(10)); break;
        default: text += static_cast<char>('a' + Below(26)); break;
      }
    }
    return text;
  }

  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

 private:
  std::mt19937_64 random_;
};

class CsvPropertyTest : public testing::ReportFixture {};

TEST_F(CsvPropertyTest, EveryCellReadsBackFromTheSavedFile) {
  CellGenerator gen(20081231);
  const std::string path = (dir_ / "table.csv").string();
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ReportResult result;
    result.kind = FindReportKindByName("pages");
    result.title = gen.Cell();
    result.subject = gen.Cell();
    const std::size_t rows = gen.Below(25);
    std::vector<std::string> labels;
    for (std::size_t r = 0; r < rows; ++r) {
      std::string label = gen.Cell();
      label.erase(std::remove(label.begin(), label.end(), '\0'), label.end());
      labels.push_back(label);
    }
    const int columns = round % 2 == 0 ? 4 : 6;
    result.columns.assign(static_cast<std::size_t>(columns), std::string());
    SetCommaText(result.columns, gen.Text(columns == 4 ? 30 : 40));
    if (round % 2 == 0) {
      for (std::size_t r = 0; r < rows; ++r) {
        result.rows.push_back({result.labels.Add(labels[r]),
                               static_cast<std::int32_t>(gen.Below(2000)) - 1000, 0});
      }
      result.total = static_cast<std::int64_t>(gen.Below(5000));
    } else {
      result.time_table = true;
      for (std::size_t r = 0; r < rows; ++r) {
        result.time_rows.push_back({labels[r], static_cast<std::int32_t>(gen.Below(100)), 1, 2, -3});
      }
    }
    if (rows > 0) {
      result.totals.assign(static_cast<std::size_t>(columns), std::string());
      SetCommaText(result.totals, gen.Text(columns == 4 ? 30 : 40));
    }
    form_->ShowReport(std::move(result));

    std::string error;
    ASSERT_TRUE(form_->WriteCsv(path, error)) << error;
    bool ok = false;
    const auto records = ReadSemicolonRecords(ReadFile(path), ok);
    ASSERT_TRUE(ok);

    const StatGrid& grid = form_->StringGrid1;
    ASSERT_EQ(records.size(), static_cast<std::size_t>(grid.RowCount()) + 2);
    EXPECT_EQ(records[0], std::vector<std::string>{ExpectedReadBack(form_->Report().title)});
    EXPECT_EQ(records[1],
              std::vector<std::string>{ExpectedReadBack("для " + form_->Report().subject)});
    for (int r = 0; r < grid.RowCount(); ++r) {
      const std::vector<std::string>& fields = records[static_cast<std::size_t>(r) + 2];
      ASSERT_EQ(fields.size(), static_cast<std::size_t>(grid.ColCount())) << "table row " << r;
      for (int c = 1; c < grid.ColCount(); ++c) {
        EXPECT_EQ(fields[static_cast<std::size_t>(c) - 1], ExpectedReadBack(grid.Cell(c, r)))
            << "cell " << c << ", " << r;
      }
      EXPECT_EQ(fields.back(), "") << "table row " << r << " ends in a semicolon";
    }
  }
}

}  // namespace
}  // namespace tw
