#pragma once

// A recording Platform for tests: it answers dialogs from queues, records
// every message and link, and takes its folder and date from the test.

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "form/platform.h"

namespace tw::testing {

// The folder of the running test binary, ending in '/'. The build copies
// engines.lst, crawlers.lst and Language/ there.
inline std::string TestBinaryFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  return exe.parent_path().string() + "/";
}

class FakePlatform : public Platform {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> links;
  std::deque<std::string> open_answers;  // empty: the user cancels
  std::deque<std::string> save_answers;
  SaveType save_type = SaveType::kTable;  // the file type each save answer picks
  std::deque<std::string> export_answers;
  int paints = 0;
  std::string folder = TestBinaryFolder();
  CalendarDate today{2026, 12, 7};

  // Called with each message as the box opens, to look at what the caller had set by then.
  std::function<void(const std::string&)> on_message;

  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    if (on_message) on_message(text);
  }
  bool AskOpenPath(std::string& path) override { return Answer(open_answers, path); }
  bool AskSavePath(std::string& path, SaveType& type) override {
    type = save_type;
    return Answer(save_answers, path);
  }
  bool AskExportPath(std::string& path) override { return Answer(export_answers, path); }
  void OpenLink(const std::string& address) override { links.push_back(address); }
  void ProcessPaint() override { ++paints; }
  std::string ExeFolder() override { return folder; }
  CalendarDate Today() override { return today; }

 private:
  static bool Answer(std::deque<std::string>& answers, std::string& path) {
    if (answers.empty()) return false;
    path = answers.front();
    answers.pop_front();
    return true;
  }
};

}  // namespace tw::testing
