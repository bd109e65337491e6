#pragma once

// A Platform without a window, for the command-line tool and the benchmarks:
// messages are kept for the caller to print, dialogs are always cancelled,
// links are not opened and there is nothing to repaint.

#include <string>
#include <vector>

#include "form/platform.h"

namespace tw {

class HeadlessPlatform : public Platform {
 public:
  // Every message the core showed, in order.
  std::vector<std::string> messages;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskOpenPath(std::string&) override { return false; }
  bool AskSavePath(std::string&, SaveType&) override { return false; }
  bool AskExportPath(std::string&) override { return false; }
  void OpenLink(const std::string&) override {}
  void ProcessPaint() override {}
  // The folder of the running executable (from /proc/self/exe), else "./".
  std::string ExeFolder() override;
  // Today in local time.
  CalendarDate Today() override;
};

}  // namespace tw
