// Properties of loading generated logs: every piece read is either a record or
// a reject, the reject file holds exactly the rejected pieces, and the same
// file always gives the same reports, chart, tree and saved table.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp1251.h"
#include "form/form.h"
#include "properties_support.h"

namespace tw {
namespace {

using testing::MixedLog;
using testing::MixedLogOptions;
using testing::ParsedPieces;
using testing::PropertyFixture;
using testing::SplitPieces;

constexpr std::uint64_t kSeeds[] = {1, 2, 3, 4};

class LoadPropertyTest : public PropertyFixture {};

TEST_F(LoadPropertyTest, EveryPieceIsARecordOrARejectAndTheRejectFileHoldsTheRejectedPieces) {
  for (std::uint64_t seed : kSeeds) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    MixedLogOptions options;
    options.seed = seed;
    options.month_span = 1 + static_cast<int>(seed % 2);
    const std::string bytes = MixedLog(options);
    const std::vector<std::string_view> pieces = SplitPieces(bytes);
    const ParsedPieces parsed(pieces);
    // The log holds every kind of trouble, not only good lines.
    ASSERT_GT(parsed.rejected.size(), 20u);
    ASSERT_GT(parsed.accepted.size(), 2000u);

    const std::string path = WriteLog(bytes);
    form_->LoadLog(path);

    EXPECT_EQ(static_cast<std::size_t>(form_->RecordCount()) + form_->RejectedCount(), pieces.size());
    EXPECT_EQ(static_cast<std::size_t>(form_->RecordCount()), parsed.accepted.size());
    EXPECT_EQ(static_cast<std::size_t>(form_->RejectedCount()), parsed.rejected.size());

    std::string expected_rejects;
    for (std::string_view piece : parsed.rejected) expected_rejects += piece;
    const std::string rejects = testing::ReadFile(path + ".err");
    EXPECT_EQ(rejects.size(), expected_rejects.size());
    EXPECT_TRUE(rejects == expected_rejects) << "the reject file differs from the rejected pieces";

    // The records are the accepted pieces, in file order.
    ASSERT_EQ(form_->Records()->Count(), form_->RecordCount());
    for (std::int32_t i = 0; i < form_->RecordCount(); ++i) {
      const LogRecord& got = *(*form_->Records())[i];
      const LogRecord& want = parsed.accepted[static_cast<std::size_t>(i)];
      ASSERT_TRUE(got.ClientIp == want.ClientIp && got.IsIpv6 == want.IsIpv6 && got.LogTime == want.LogTime &&
                  got.Status == want.Status && got.Bytes == want.Bytes &&
                  std::string_view(got.Url()) == want.Url() &&
                  std::string_view(got.UserAgent()) == want.UserAgent())
          << "record " << i << " is not accepted piece " << i << ": " << got.Url() << " vs "
          << want.Url();
    }
  }
}

// Everything a report shows, as text.
struct Shown {
  const ReportKindInfo* kind = nullptr;
  std::vector<std::string> cells;  // StringGrid1, row by row
  std::string chart;
  std::string csv;
  bool operator==(const Shown&) const = default;
};

std::string DescribeChart(const ChartSeries& chart) {
  std::ostringstream out;
  out << "pie " << chart.HasPie << " axes " << chart.AxesVisible << "\n";
  for (const PieSlice& slice : chart.Pie) out << slice.Value << " #" << std::hex << slice.Colour << std::dec << "\n";
  for (const LineSeries& series : chart.Lines) {
    out << "line #" << std::hex << series.Colour << std::dec << ":";
    for (const LinePoint& p : series.Points) out << " " << p.X << "," << p.Y << "," << p.Label;
    out << "\n";
  }
  return out.str();
}

void DescribeNode(const TreeNode& node, int depth, std::string& out) {
  out.append(static_cast<std::size_t>(depth), ' ');
  out += node.Text;
  out += '\n';
  for (const auto& child : node.Children) DescribeNode(*child, depth + 1, out);
}

std::string DescribeTree(const SiteTreeView& tree) {
  std::string out;
  if (tree.Root) DescribeNode(*tree.Root, 0, out);
  out += tree.Selected == tree.Root.get() ? "root selected" : "other selection";
  return out;
}

// The first place where two texts differ, for a short failure message.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return "at byte " + std::to_string(i) + ": \"" + a.substr(i, 60) + "\" vs \"" + b.substr(i, 60) + "\"";
}

class DeterminismTest : public PropertyFixture {
 protected:
  // Runs every report kind, in the order given, over the whole site with
  // request filter `filter`, crawlers kept, and records what each shows.
  std::vector<Shown> ShowAll(TSDIAppForm& form, const std::vector<const ReportKindInfo*>& kinds,
                             int filter) {
    std::vector<Shown> all;
    ChooseFilter(form, filter);
    for (const ReportKindInfo* kind : kinds) {
      Run(form, *kind, false);
      Shown shown;
      shown.kind = kind;
      const StatGrid& grid = form.StringGrid1;
      for (int row = 0; row < grid.RowCount(); ++row) {
        std::string line;
        for (int col = 0; col < grid.ColCount(); ++col) line += grid.Cell(col, row) + '\t';
        shown.cells.push_back(line);
      }
      shown.chart = DescribeChart(form.Chart1);
      const std::string csv_path = (dir_ / "table.csv").string();
      std::string error;
      EXPECT_TRUE(form.WriteCsv(csv_path, error)) << error;
      shown.csv = testing::ReadFile(csv_path);
      all.push_back(std::move(shown));
    }
    // Kinds are shown in ascending order for comparison.
    std::sort(all.begin(), all.end(), [](const Shown& a, const Shown& b) { return a.kind < b.kind; });
    return all;
  }

  void ExpectSame(const std::vector<Shown>& a, const std::vector<Shown>& b, const char* what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t k = 0; k < a.size(); ++k) {
      SCOPED_TRACE(std::string(what) + ", kind " + a[k].kind->CliName);
      EXPECT_EQ(a[k].cells.size(), b[k].cells.size());
      for (std::size_t r = 0; r < std::min(a[k].cells.size(), b[k].cells.size()); ++r) {
        if (a[k].cells[r] != b[k].cells[r]) {
          ADD_FAILURE() << "row " << r << " differs: " << FirstDifference(a[k].cells[r], b[k].cells[r]);
          break;
        }
      }
      EXPECT_TRUE(a[k].chart == b[k].chart) << "chart " << FirstDifference(a[k].chart, b[k].chart);
      EXPECT_TRUE(a[k].csv == b[k].csv) << "saved table " << FirstDifference(a[k].csv, b[k].csv);
    }
  }
};

TEST_F(DeterminismTest, TheSameFileGivesTheSameReportsChartsTreeAndSavedTables) {
  const std::vector<const ReportKindInfo*> forward = testing::PropertyKinds();
  const std::vector<const ReportKindInfo*> backward(forward.rbegin(), forward.rend());
  for (std::uint64_t seed : {11, 12}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    MixedLogOptions options;
    options.seed = seed;
    options.generated_lines = 2000;
    const std::string path = WriteLog(MixedLog(options));

    form_->LoadLog(path);
    const std::string tree_first = DescribeTree(form_->TreeView1);
    const std::vector<Shown> first = ShowAll(*form_, forward, 3);
    const std::vector<Shown> first_html = ShowAll(*form_, forward, 1);

    // Again in the same form, the reports asked for in the other order.
    form_->LoadLog(path);
    const std::string tree_again = DescribeTree(form_->TreeView1);
    EXPECT_TRUE(tree_first == tree_again) << "tree " << FirstDifference(tree_first, tree_again);
    ExpectSame(first, ShowAll(*form_, backward, 3), "second load, all requests");
    ExpectSame(first_html, ShowAll(*form_, backward, 1), "second load, HTML requests");

    // A second form loading the same file.
    testing::FakePlatform other_platform;
    TSDIAppForm other(other_platform);
    other.LoadLog(path);
    const std::string tree_other = DescribeTree(other.TreeView1);
    EXPECT_TRUE(tree_first == tree_other) << "tree " << FirstDifference(tree_first, tree_other);
    ExpectSame(first, ShowAll(other, forward, 3), "second form, all requests");
    ExpectSame(first_html, ShowAll(other, forward, 1), "second form, HTML requests");
  }
}

// Reads a saved table back: two lines of title and address, then one line per
// table row of "cell"; fields with doubled quotes. Returns false when the
// bytes don't have that shape.
bool ReadSavedTable(const std::string& csv, std::string& title, std::string& address,
                    std::vector<std::vector<std::string>>& rows) {
  std::size_t pos = 0;
  auto read_line = [&](std::string& line) {
    const std::size_t end = csv.find("\r\n", pos);
    if (end == std::string::npos) return false;
    line = csv.substr(pos, end - pos);
    pos = end + 2;
    return true;
  };
  if (!read_line(title) || !read_line(address)) return false;
  rows.clear();
  while (pos < csv.size()) {
    std::vector<std::string> row;
    while (pos < csv.size() && csv[pos] == '"') {
      std::string cell;
      ++pos;
      while (true) {
        if (pos >= csv.size()) return false;
        if (csv[pos] == '"') {
          if (pos + 1 < csv.size() && csv[pos + 1] == '"') {
            cell += '"';
            pos += 2;
            continue;
          }
          break;
        }
        cell += csv[pos++];
      }
      if (csv.compare(pos, 2, "\";") != 0) return false;
      pos += 2;
      row.push_back(cell);
    }
    if (csv.compare(pos, 2, "\r\n") != 0) return false;
    pos += 2;
    rows.push_back(row);
  }
  return true;
}

class SavedTableTest : public PropertyFixture {};

TEST_F(SavedTableTest, ASavedTableReadsBackAsTheCellsShown) {
  MixedLogOptions options;
  options.seed = 41;
  options.generated_lines = 2000;
  form_->LoadLog(WriteLog(MixedLog(options)));
  const std::string csv_path = (dir_ / "saved.csv").string();
  for (int filter : {1, 3}) {
    ChooseFilter(*form_, filter);
    for (const ReportKindInfo* kind : testing::PropertyKinds()) {
      SCOPED_TRACE("filter " + std::to_string(filter) + ", kind " + kind->CliName);
      Run(*form_, *kind, false);
      std::string error;
      ASSERT_TRUE(form_->WriteCsv(csv_path, error)) << error;
      std::string title, address;
      std::vector<std::vector<std::string>> rows;
      ASSERT_TRUE(ReadSavedTable(testing::ReadFile(csv_path), title, address, rows));
      // The table is Windows-1251 text; the core's is UTF-8.
      EXPECT_EQ(title, Utf8ToCp1251(form_->GroupBox4.Caption));
      EXPECT_NE(address.find(Utf8ToCp1251(form_->Label8.Caption)), std::string::npos) << address;
      const StatGrid& grid = form_->StringGrid1;
      ASSERT_EQ(rows.size(), static_cast<std::size_t>(grid.RowCount()));
      for (int r = 0; r < grid.RowCount(); ++r) {
        // The first column holds no text and is not saved.
        ASSERT_EQ(rows[static_cast<std::size_t>(r)].size(), static_cast<std::size_t>(grid.ColCount() - 1)) << "row " << r;
        for (int c = 1; c < grid.ColCount(); ++c) {
          EXPECT_EQ(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c - 1)],
                    Utf8ToCp1251(grid.Cell(c, r)))
              << "row " << r << ", column " << c;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tw
