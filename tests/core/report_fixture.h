#pragma once

// A real TSDIAppForm over a hand-made log, for the tests of the row reports,
// the details command and the CSV export. The folder beside the "program" is a
// temporary one with the shipped language pack, a crawler list and a known
// engine list:
//
//   images.google;q=   (index 0)
//   google;q=          (index 1)
//   yandex;text=       (index 2)
//
// Each line's size field is its 1-based line number, so the raw log table
// shows which lines were listed.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/report_kinds.h"
#include "analysis/report_rows.h"
#include "fake_platform.h"
#include "form/form.h"
#include "read_file.h"
#include "temp_folder.h"

namespace tw::testing {

namespace report_fs = std::filesystem;

inline void WriteBytes(const report_fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One combined-format line; the size field is filled in by the fixture.
struct LogLine {
  std::string ip = "10.0.0.1";
  std::string time = "10/Mar/2008:12:00:00";
  std::string url = "/index.html";
  std::string status = "200";
  std::string referrer = "-";
  std::string agent = "Mozilla/5.0";
};

using Row = std::pair<std::string, int>;  // label, count

class ReportFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    dir_ = folder_.path();
    report_fs::create_directories(dir_ / "Language");
    WriteBytes(dir_ / "Language" / "English.lng",
               ReadFile(TestBinaryFolder() + "Language/English.lng"));
    WriteBytes(dir_ / "crawlers.lst", "Crawler/1.0\n");
    WriteBytes(dir_ / "engines.lst", "images.google;q=\ngoogle;q=\nyandex;text=\n");
    platform_.folder = dir_.string() + "/";
    form_ = std::make_unique<TSDIAppForm>(platform_);
  }
  void TearDown() override { form_.reset(); }

  // Loads the lines as the log of the site "site.example".
  void Load(const std::vector<LogLine>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const LogLine& l = lines[i];
      text += l.ip + " - - [" + l.time + " +0100] \"GET " + l.url + " HTTP/1.1\" " + l.status +
              " " + std::to_string(i + 1) + " \"" + l.referrer + "\" \"" + l.agent + "\"\n";
    }
    const report_fs::path log = dir_ / "site.example-access_log";
    WriteBytes(log, text);
    form_->LoadLog(log.string());
    platform_.messages.clear();
  }

  // One analysis run of `kind` over all requests, crawlers included.
  void Run(const char* kind) {
    form_->CheckReportButton(FindReportKindByName(kind));
    form_->CheckRequestButton(3);
    form_->RequestFilter = 3;
    form_->CheckBox1.Checked = false;
    form_->RunAnalysis();
  }

  // The rows as the table shows them.
  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    for (const ReportRow& row : form_->Report().rows) {
      rows.emplace_back(row.Label.data() != nullptr ? std::string(row.Label) : "(null)", row.Count);
    }
    return rows;
  }

  // The table row (1-based) of the first report row labelled `label`, or -1.
  int TableRowOf(const std::string& label) const {
    const std::vector<Row> rows = Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].first == label) return static_cast<int>(i) + 1;
    }
    return -1;
  }

  // Selects table row `row` and asks for its details; returns the line
  // numbers of the listed records, in the order listed.
  std::vector<int> Details(int row) {
    form_->StringGrid1.Row = row;
    form_->onStringGrid1Click();
    form_->Button2Click();
    std::vector<int> lines;
    for (int r = 1; r < form_->StringGrid2.RowCount() - 1; ++r) {
      lines.push_back(std::stoi(form_->StringGrid2.Cell(5, r)));
    }
    return lines;
  }

  TempFolder folder_;
  report_fs::path dir_;
  FakePlatform platform_;
  std::unique_ptr<TSDIAppForm> form_;
};

}  // namespace tw::testing
