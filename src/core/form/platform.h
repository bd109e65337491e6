#pragma once

// What the core needs of the platform it runs on. The Qt window implements
// it, the command-line tool has a quiet version, and the tests fake it.

#include <string>
#include <vector>

#include "base/calendar_date.h"

namespace tw {

// The kinds of file File > Save writes, in the order its dialog offers them:
// the table file in Windows-1251 as always, or in UTF-8; the table as plain
// CSV for scripts; the report as JSON; the report as an HTML page.
enum class SaveType { kTable, kTableUtf8, kCsv, kJson, kHtml };

}  // namespace tw

namespace tw {

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box with the caption "Quelmark Tallyweave" and an OK button.
  // The text is UTF-8 and is shown as plain text.
  virtual void ShowMessage(const std::string& text) = 0;

  // The open dialog (filter "All Files (*.*)|*.*"). Returns false when the user cancels.
  virtual bool AskOpenPath(std::string& path) = 0;

  // The open dialog with one or several files chosen. By default the
  // single-file dialog.
  virtual bool AskOpenPaths(std::vector<std::string>& paths) {
    std::string path;
    if (!AskOpenPath(path)) return false;
    paths = {path};
    return true;
  }

  // The save dialog (file types "CSV (*.csv)", "CSV, UTF-8 (*.csv)",
  // "CSV (UTF-8) (*.csv)", "JSON (*.json)" and "HTML report (*.html)", default
  // extension that of the type, no question before replacing a file). Sets
  // the type chosen; returns false when the user cancels.
  virtual bool AskSavePath(std::string& path, SaveType& type) = 0;

  // File > Export report's dialog: an HTML file. False when the user cancels.
  virtual bool AskExportPath(std::string& path) = 0;

  // Opens a web address or a "mailto:" link with the desktop's default handler.
  // Failures are ignored.
  virtual void OpenLink(const std::string& address) = 0;

  // Called about every 100 ms while a log loads: shows the current state
  // (status text) and handles pending paint events, but no user input.
  virtual void ProcessPaint() = 0;

  // The folder of the running executable, ending in '/'.
  virtual std::string ExeFolder() = 0;

  virtual CalendarDate Today() = 0;
};

}  // namespace tw
