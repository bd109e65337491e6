// A whole load of an arbitrary file, then an analysis run of every report
// kind, the details of the first and the last data row, and the table saved
// as CSV. The program's folder is a temporary one holding copies of
// engines.lst, crawlers.lst, crawler-patterns.lst and Language/English.lng.
// Besides crashes it
// checks that every piece of the file is counted once, as a record or as a
// rejected line (a compressed file is refused), and that the table and the
// details stay within their rows.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_kinds.h"
#include "form/form.h"
#include "form/platform.h"
#include "fuzz_support.h"
#include "load/line_reader.h"

#ifndef TALLYWEAVE_RESOURCE_FOLDER
#error "TALLYWEAVE_RESOURCE_FOLDER must name the resources folder"
#endif

namespace {

// No window: messages are dropped, dialogs are cancelled, the date is fixed.
class QuietPlatform : public tw::Platform {
 public:
  explicit QuietPlatform(std::string folder) : folder_(std::move(folder)) {}
  void ShowMessage(const std::string&) override {}
  bool AskOpenPath(std::string&) override { return false; }
  bool AskSavePath(std::string&, tw::SaveType&) override { return false; }
  bool AskExportPath(std::string&) override { return false; }
  void OpenLink(const std::string&) override {}
  void ProcessPaint() override {}
  std::string ExeFolder() override { return folder_; }
  tw::CalendarDate Today() override { return {2026, 12, 7}; }

 private:
  std::string folder_;
};

struct Session {
  std::string folder;    // the program's folder, ending in '/'
  std::string log_path;  // named so that the site is www.mysite.ru
  std::string csv_path;
  QuietPlatform* platform = nullptr;
  tw::TSDIAppForm* form = nullptr;
};

Session* session = nullptr;

// Pieces as the loader cuts them: after '\n' or after kMaxPiece characters.
std::size_t CountPieces(std::string_view text) {
  // As the reader: a first block (256 KiB) without LF but with a CR has CR line ends.
  const std::string_view head = text.substr(0, std::size_t{256} << 10);
  const char line_end =
      head.find('\n') == std::string_view::npos && head.find('\r') != std::string_view::npos ? '\r'
                                                                                             : '\n';
  std::size_t pieces = 0;
  while (!text.empty()) {
    std::size_t n = text.find(line_end);
    n = n == std::string_view::npos ? text.size() : n + 1;
    n = std::min(n, tw::LogPieceReader::kMaxPiece);
    text.remove_prefix(n);
    ++pieces;
  }
  return pieces;
}

void CheckTables(const tw::TSDIAppForm& form) {
  const int rows = form.StringGrid1.RowCount();
  FUZZ_CHECK(rows >= 2);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < form.StringGrid1.ColCount(); ++c) {
      form.StringGrid1.Cell(c, r);
      form.StringGrid1DrawCell(c, r);
    }
  }
  FUZZ_CHECK(form.StringGrid2.RowCount() - 2 <= form.SelectedCount());
  for (int r = 0; r < form.StringGrid2.RowCount(); ++r) {
    for (int c = 0; c < form.StringGrid2.ColCount(); ++c) form.StringGrid2.Cell(c, r);
  }
}

// Walks `depth` steps down the first children of the site tree.
tw::TreeNode* SectionAtDepth(tw::TreeNode* node, int depth) {
  while (node != nullptr && depth-- > 0 && !node->Children.empty()) {
    node = node->Children.front().get();
  }
  return node;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  session = new Session;
  session->folder = tw::fuzz::MakeTempFolder("load");
  const std::filesystem::path resources = TALLYWEAVE_RESOURCE_FOLDER;
  std::filesystem::create_directories(session->folder + "Language");
  for (const char* name :
       {"engines.lst", "crawlers.lst", "crawler-patterns.lst", "Language/English.lng"}) {
    std::filesystem::copy_file(resources / name, session->folder + name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  session->log_path = session->folder + "www.mysite.ru-access_log";
  session->csv_path = session->folder + "table.csv";
  session->platform = new QuietPlatform(session->folder);
  session->form = new tw::TSDIAppForm(*session->platform);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tw::TSDIAppForm& form = *session->form;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  tw::fuzz::WriteFile(session->log_path, input);

  form.LoadLog(session->log_path);
  const tw::Compression packed = tw::CompressionOf(input.substr(0, tw::kSignatureBytes));
  if (packed == tw::Compression::kZip) {
    // Refused before anything was dropped: the analysis below runs over the
    // log of an earlier input.
    FUZZ_CHECK(!form.LoadError.empty());
  } else if (packed != tw::Compression::kNone) {
    // Read as far as the packed data goes; whatever it held counts.
    FUZZ_CHECK(form.LoadError.empty());
  } else {
    FUZZ_CHECK(form.LoadError.empty());
    FUZZ_CHECK(static_cast<std::size_t>(form.RecordCount() + form.RejectedCount()) ==
               CountPieces(input));
    FUZZ_CHECK(form.SiteName() == "www.mysite.ru");
  }
  FUZZ_CHECK(form.Records() != nullptr);
  FUZZ_CHECK(form.RecordCount() == form.Records()->Count());

  // The choices a user could make, taken from the size so that one input
  // always meets the same ones.
  const int filter = 1 + static_cast<int>(size % 3);
  form.CheckRequestButton(filter);
  form.RadioButton14Click();
  form.CheckBox1.Checked = (size / 3) % 2 == 1;
  form.TreeView1.Selected = SectionAtDepth(form.TreeView1.Root.get(), static_cast<int>(size / 6 % 4));

  std::string error;
  for (const tw::ReportKindInfo& kind : tw::kReportKinds) {
    form.CheckReportButton(&kind);
    form.RunAnalysis();
    FUZZ_CHECK(form.SelectedCount() <= form.RecordCount());
    const int last_row = form.StringGrid1.RowCount() - 2;
    for (int row : {1, last_row}) {
      form.StringGrid1.Row = row;
      form.onStringGrid1Click();
      form.ShowDetails();
      CheckTables(form);
    }
    FUZZ_CHECK(form.WriteCsv(session->csv_path, error));
  }
  return 0;
}
