#pragma once

// A form over a temporary "program folder" with a small language pack, a
// two-line crawler list and one search engine, for the loading tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "form/form.h"
#include "read_file.h"
#include "temp_folder.h"

namespace tw::loadlog_testing {

namespace fs = std::filesystem;

inline void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

using testing::ReadFile;
using testing::TempFolder;

// One accepted combined-format line.
inline std::string GoodLine(const std::string& date, const std::string& url = "/index.html",
                            const std::string& eol = "\n") {
  return "10.0.0.1 - - [" + date + ":12:00:00 +0100] \"GET " + url +
         " HTTP/1.1\" 200 512 \"-\" \"Mozilla/5.0\"" + eol;
}

// The texts a load shows; mes6 to mes9 are left to the built-in English texts.
inline constexpr const char* kLanguage =
    "id0=Records: \n"
    "id1=Rejected: \n"
    "id2=Period: \n"
    "mes0=Loading %s: %d%c\n"
    "mes1=No records\n"
    "mes2=Done\n"
    "mes3=Rejected: %d\n"
    "mes5=Could not open %s: %s\n";

// Remembers the status text shown while the closing message box is up.
class StatusPlatform : public testing::FakePlatform {
 public:
  const TSDIAppForm* form = nullptr;
  std::vector<std::string> status_at_message;
  void ShowMessage(const std::string& text) override {
    status_at_message.push_back(form != nullptr ? form->StatusText : "");
    FakePlatform::ShowMessage(text);
  }
};

template <typename PlatformType>
class LoadFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    fs::create_directories(dir_.path() / "Language");
    WriteFile(dir_.path() / "Language" / "English.lng", kLanguage);
    WriteFile(dir_.path() / "crawlers.lst", "Crawler/1.0\nBot/2.0\n");
    WriteFile(dir_.path() / "engines.lst", "google;q=\n");
    platform_.folder = dir_.path().string() + "/";
    form_ = std::make_unique<TSDIAppForm>(platform_);
    platform_.form = form_.get();
    idle_memo_ = form_->Memo3;
    platform_.messages.clear();
    platform_.status_at_message.clear();
  }

  std::string Log(const std::string& name, const std::string& content) {
    const fs::path path = dir_.path() / name;
    WriteFile(path, content);
    return path.string();
  }

  TempFolder dir_;
  PlatformType platform_;
  std::unique_ptr<TSDIAppForm> form_;
  std::vector<std::string> idle_memo_;
};

using LoadLogTest = LoadFixture<StatusPlatform>;

}  // namespace tw::loadlog_testing
