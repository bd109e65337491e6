// The statistics table as shown, saved as semicolon-separated text.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "Main_form.h"
#include "Text_format.h"

namespace tw {

namespace {

// "для " in Windows-1251, before the analysed address.
constexpr std::string_view kForPrefix = "\xE4\xEB\xFF\x20";
constexpr std::string_view kLineEnd = "\r\n";

// Appends `"cell";`, a double quote inside the cell doubled so that the
// field reads back as the cell.
void AppendField(std::string& line, const std::string& cell) {
  line += '"';
  for (char c : cell) {
    if (c == '"') line += '"';
    line += c;
  }
  line += "\";";
}

// Writes lines to a file and keeps the first failure's errno.
class CsvFile {
 public:
  explicit CsvFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
    if (file_ == nullptr) error_ = errno != 0 ? errno : EIO;
  }
  ~CsvFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  CsvFile(const CsvFile&) = delete;
  CsvFile& operator=(const CsvFile&) = delete;

  void WriteLine(std::string_view text) {
    Write(text);
    Write(kLineEnd);
  }
  // Closes the file; a failure to flush the last bytes is a write failure too.
  void Close() {
    if (file_ == nullptr) return;
    errno = 0;
    if (std::fclose(file_) != 0) Fail();
    file_ = nullptr;
  }
  int error() const { return error_; }

 private:
  void Write(std::string_view text) {
    if (error_ != 0 || text.empty()) return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Fail();
  }
  void Fail() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
  }

  std::FILE* file_;
  int error_ = 0;
};

}  // namespace

bool TSDIAppForm::WriteCsv(const std::string& path, std::string& error) const {
  errno = 0;
  CsvFile file(path);
  if (file.error() == 0) {
    file.WriteLine(GroupBox4.Caption);
    file.WriteLine(std::string(kForPrefix) + Label8.Caption);
    std::string line;
    const int rows = StringGrid1.RowCount();
    const int cols = StringGrid1.ColCount();
    for (int r = 0; r < rows && file.error() == 0; ++r) {
      line.clear();
      for (int c = 1; c < cols; ++c) AppendField(line, StringGrid1.Cell(c, r));
      file.WriteLine(line);
    }
    file.Close();
  }
  if (file.error() == 0) return true;
  error = FormatText(Lang.GetOr("mes4", "Could not save the table to %s: %s"),
                     {path, std::strerror(file.error())});
  return false;
}

void TSDIAppForm::ExportCsv(const std::string& path) {
  std::string error;
  if (!WriteCsv(path, error)) platform_.ShowMessage(error);
}

void TSDIAppForm::FileSave1Execute() {
  std::string path;
  if (platform_.AskSavePath(path)) ExportCsv(path);
}

}  // namespace tw
