#include "base/language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/delimited.h"
#include "base/letter_case.h"
#include "base/text_format.h"
#include "fake_files.h"
#include "temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

struct Lookup {
  std::string file;
  std::string id;
  std::string expected;
};

void ExpectLookups(const std::vector<Lookup>& cases) {
  for (const auto& c : cases) {
    LanguagePack pack;
    pack.LoadFromText(c.file);
    EXPECT_EQ(pack.Get(c.id), c.expected) << "id [" << c.id << "] in file [" << c.file << "]";
  }
}

TEST(LanguagePack, FindsTheFirstLineWithTheIdIgnoringCase) {
  ExpectLookups({
      {"25=Analyse", "25", "Analyse"},
      {"M1=&File", "m1", "&File"},
      {"m1=&File", "M1", "&File"},
      {"m1=first\nM1=second", "m1", "first"},
      {"M1=first\nm1=second", "M1", "first"},
      {"a=1\nb=2\nc=3", "c", "3"},
      {"\xC8\xC4=cyr", "ид", "cyr"},  // Cyrillic ids fold too, in Windows-1251
      {"ИД=cyr", "ид", "cyr"},          // ... and in UTF-8
      {"ΣΑΣ=greek", "σας", "greek"},
      {"m1=&File", "m", ""},
      {"m1=&File", "m11", ""},
      {"", "m1", ""},
  });
}

TEST(LanguagePack, TakesIdAndTextExactlyAsWritten) {
  ExpectLookups({
      {"m11 =&Open", "m11", ""},  // the blank belongs to the id
      {"m11 =&Open", "m11 ", "&Open"},
      {" m11=&Open", "m11", ""},
      {"0= Statistics ", "0", " Statistics "},
      {"id0=Records: \t", "id0", "Records: \t"},
      {"24=a=b==c", "24", "a=b==c"},
      {"=text", "", "text"},
      {"mes1=", "mes1", ""},
      {"mes3=\\n%d", "mes3", "\\n%d"},  // no escapes
      {"25=\xC0\xED\xE0\xEB\xE8\xE7", "25", "Анализ"},  // Windows-1251, held as UTF-8
      {"25=Анализ", "25", "Анализ"},                      // a pack in UTF-8 as it is
      {"25=caf\xC3\xA9 \xE9", "25", "cafГ© й"},           // one text, read whole
      {"\xEF\xBB\xBFm1=&File", "m1", ""},  // no byte-order mark either
      {"no equals sign\nm1=x", "no equals sign", ""},
      {"no equals sign\nm1=x", "m1", "x"},
  });
}

TEST(LanguagePack, SplitsLinesAtCrLfLfAndLoneCr) {
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    const std::string file = "a=1" + end + "b=2 " + end + end + "c=3";
    LanguagePack pack;
    pack.LoadFromText(file);
    const std::string shown = end == "\r\n" ? "CR LF" : end == "\n" ? "LF" : "CR";
    EXPECT_EQ(pack.Get("a"), "1") << shown;
    EXPECT_EQ(pack.Get("b"), "2 ") << shown;
    EXPECT_EQ(pack.Get("c"), "3") << shown;
    EXPECT_EQ(pack.EntryCount(), 3u) << shown;
  }
  ExpectLookups({
      {"a=1\n\rb=2", "b", "2"},  // LF then CR: two line ends
      {"a=1\r\r\nb=2", "a", "1"},
      {"a=1\r\r\nb=2", "b", "2"},
  });
}

TEST(LanguagePack, StopsAtAZeroByte) {
  LanguagePack pack;
  pack.LoadFromText(std::string("a=1\nb=2\0tail\nc=3\n", 17));
  EXPECT_EQ(pack.Get("a"), "1");
  EXPECT_EQ(pack.Get("b"), "2");
  EXPECT_EQ(pack.Get("c"), "");
}

TEST(LanguagePack, GetOrFallsBackOnlyForMissingIds) {
  LanguagePack pack;
  pack.LoadFromText("mes1=\nmes2=Done");
  EXPECT_EQ(pack.GetOr("mes2", "fallback"), "Done");
  EXPECT_EQ(pack.GetOr("MES2", "fallback"), "Done");
  EXPECT_EQ(pack.GetOr("mes1", "fallback"), "");
  EXPECT_EQ(pack.GetOr("mes9", "fallback"), "fallback");
}

TEST(LanguagePack, ALaterLoadReplacesTheLines) {
  LanguagePack pack;
  pack.LoadFromText("a=1\nb=2");
  pack.LoadFromText("a=3");
  EXPECT_EQ(pack.Get("a"), "3");
  EXPECT_EQ(pack.Get("b"), "");
}

TEST(LanguagePack, ReadsArbitraryBytes) {
  const char kPieces[] = "==\r\n\r\n  aAm1\0\xC0\xE0\xFF";
  std::mt19937 random(777);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) text.push_back(kPieces[random() % (sizeof kPieces - 1)]);
    LanguagePack pack;
    pack.LoadFromText(text);
    const std::string text_of_m1 = pack.Get("m1");
    ASSERT_EQ(text_of_m1.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << text;
    ASSERT_LE(pack.EntryCount(), text.size()) << text;
  }
}

// A folder of its own under the system's temporary folder, removed afterwards.
class LanguageFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    folder_ = temp_.path();
    fs::create_directories(folder_ / "Language");
  }

  std::string Folder() const { return folder_.string() + "/"; }
  void Write(const std::string& name, const std::string& contents) {
    std::ofstream(folder_ / "Language" / name, std::ios::binary) << contents;
  }

  testing::TempFolder temp_;
  fs::path folder_;
};

TEST(LanguagePackFiles, LoadsThroughTheGivenFiles) {
  using File = testing::FakeFiles::File;
  const struct Case {
    const char* name;
    std::optional<File> deutsch;
    std::string m1;
    std::size_t entries;
  } cases[] = {
      {"present", File{"m1=&Datei\r\n"}, "&Datei", 1},
      {"missing: nothing changes", std::nullopt, "&File", 2},
      {"a folder: empty", File{"", -1, PathInfo::Type::kDirectory}, "", 0},
      {"a read error: empty", File{"m1=&Datei\r\n", 4}, "", 0},
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    files.files["/prog/Language/English.lng"] = {"m1=&File\nm4=&Help\n"};
    if (c.deutsch) files.files["/prog/Language/Deutsch.lng"] = *c.deutsch;
    LanguagePack pack("/prog/", files);
    ASSERT_EQ(pack.Get("m4"), "&Help") << c.name;
    pack.Load("Deutsch");
    EXPECT_EQ(pack.Get("m1"), c.m1) << c.name;
    EXPECT_EQ(pack.EntryCount(), c.entries) << c.name;
  }
}

TEST_F(LanguageFolder, ConstructionLoadsEnglish) {
  Write("English.lng", "m1=&File\r\nm11=&Open\r\n");
  LanguagePack pack(Folder());
  EXPECT_EQ(pack.PathOf("English"), Folder() + "Language/English.lng");
  EXPECT_EQ(pack.Get("m1"), "&File");
  EXPECT_EQ(pack.Get("m11"), "&Open");
}

TEST_F(LanguageFolder, AMissingFileChangesNothing) {
  LanguagePack empty(Folder());
  EXPECT_EQ(empty.EntryCount(), 0u);
  EXPECT_EQ(empty.Get("m1"), "");

  Write("English.lng", "m1=&File");
  LanguagePack pack(Folder());
  pack.Load("Deutsch");
  EXPECT_EQ(pack.Get("m1"), "&File");
}

TEST_F(LanguageFolder, AnotherLanguageReplacesTheLines) {
  Write("English.lng", "m1=&File\nm4=&Help");
  Write("Deutsch.lng", "m1=&Datei");
  LanguagePack pack(Folder());
  pack.Load("Deutsch");
  EXPECT_EQ(pack.Get("m1"), "&Datei");
  EXPECT_EQ(pack.Get("m4"), "");
}

TEST_F(LanguageFolder, AFileThatCannotBeReadEmptiesThePack) {
  Write("English.lng", "m1=&File");
  fs::create_directory(folder_ / "Language" / "Broken.lng");  // exists, but no file to read
  LanguagePack pack(Folder());
  pack.Load("Broken");
  EXPECT_EQ(pack.EntryCount(), 0u);
  EXPECT_EQ(pack.Get("m1"), "");
}

TEST(LanguagePackCommaText, FillsTheRawLogTitleRow) {
  struct Row {
    std::string text;
    std::vector<std::string> cells;
  };
  const Row rows[] = {
      {"No,Address,Time,Request,Status,Bytes,Referrer,\"User agent\"",
       {"No", "Address", "Time", "Request", "Status", "Bytes", "Referrer", "User agent"}},
      {"1,2,3,4,5,6,7,8,9", {"1", "2", "3", "4", "5", "6", "7", "8"}},  // the ninth is dropped
      {"No,Address,Time,Request,Status,Bytes,Referrer,User agent",
       {"No", "Address", "Time", "Request", "Status", "Bytes", "Referrer", "User"}},
      {"\"\",Day", {" ", "Day", "", "", "", "", "", ""}},  // an empty item keeps its cell
  };
  for (const auto& row : rows) {
    std::vector<std::string> cells(8, "old");
    LanguagePack pack;
    pack.LoadFromText("RAW_LOG_HEADER=" + row.text);
    SetCommaText(cells, pack.Get("RAW_LOG_HEADER"));
    EXPECT_EQ(cells, row.cells) << row.text;
  }
}

// The pack the program ships.
class EnglishPack : public ::testing::Test {
 protected:
  EnglishPack() : pack_(TALLYWEAVE_RESOURCE_FOLDER) {}
  LanguagePack pack_;
};

std::vector<std::string> AskedIds() {
  std::vector<std::string> ids = {
      "m1",  "m11", "m12", "m13",    "m3",    "m31", "m4", "m41", "m42", "m44", "RAW_LOG_HEADER",
      "id0", "id1", "id2", "id1000", "id1001"};
  for (int i = 0; i <= 28; ++i) ids.push_back(std::to_string(i));
  for (int i = 0; i <= 14; ++i) ids.push_back("stat" + std::to_string(i));
  for (int i = 1; i <= 14; ++i) {
    if (i != 7 && i != 8) ids.push_back("statheader" + std::to_string(i));
  }
  for (int i = 0; i <= 12; ++i) ids.push_back("month" + std::to_string(i));
  for (int i = 0; i <= 6; ++i) ids.push_back("dayweek" + std::to_string(i));
  for (int i = 0; i <= 9; ++i) ids.push_back("mes" + std::to_string(i));
  return ids;
}

TEST_F(EnglishPack, DefinesEveryIdTheProgramAsksFor) {
  ASSERT_GT(pack_.EntryCount(), 0u) << pack_.PathOf("English");
  for (const auto& id : AskedIds()) {
    EXPECT_NE(pack_.GetOr(id, "\x01missing"), "\x01missing") << id;
    EXPECT_NE(pack_.Get(id), "") << id;
  }
}

TEST_F(EnglishPack, DefinesEachIdOnce) {
  std::ifstream in(pack_.PathOf("English"), std::ios::binary);
  std::set<std::string> seen;
  std::string line;
  while (std::getline(in, line)) {
    const std::string id = FoldCase(line.substr(0, line.find('=')));
    EXPECT_TRUE(seen.insert(id).second) << "id " << id << " twice";
    EXPECT_EQ(id.find(' '), std::string::npos) << "blank in id [" << id << "]";
  }
}

TEST_F(EnglishPack, ColumnTitlesFillTheirColumns) {
  struct Header {
    std::string id;
    std::size_t columns;
    bool first_empty;
  };
  std::vector<Header> headers = {
      {"statheader1", 6, true}, {"statheader2", 6, true}, {"RAW_LOG_HEADER", 8, false}};
  for (int i : {3, 4, 5, 6, 9, 10, 11, 12, 13, 14}) {
    headers.push_back({"statheader" + std::to_string(i), 4, true});
  }
  for (const auto& h : headers) {
    const auto items = SplitDelimited(pack_.Get(h.id), ',');
    ASSERT_EQ(items.size(), h.columns) << h.id;
    EXPECT_EQ(items[0].empty(), h.first_empty) << h.id;
    for (std::size_t i = 1; i < items.size(); ++i) EXPECT_NE(items[i], "") << h.id << " item " << i;
  }
}

TEST_F(EnglishPack, FormatsTakeExactlyTheirCallersArguments) {
  struct Use {
    std::string format;
    std::vector<FormatArg> args;
    std::size_t columns;  // of the comma text, 0 for plain text
    std::string contains;
  };
  const std::string path = "/var/log/site.example-access_log";
  const std::vector<Use> uses = {
      {pack_.Get("mes0"), {path, 42, FormatArg::Char('%')}, 0, "42%"},
      {pack_.Get("mes2") + "\n" + pack_.Get("mes3"), {17}, 0, "17"},
      {pack_.Get("id1000"), {31, 1000, 900, 50, 60}, 6, "1000"},
      {pack_.Get("id1001"), {12, 345, 100.0}, 4, "100.00"},
      {pack_.Get("mes4"), {path, "disk full"}, 0, "disk full"},
      {pack_.Get("mes5"), {path, "permission denied"}, 0, "permission denied"},
      {pack_.Get("mes6"), {path}, 0, path},
      {pack_.Get("mes7"), {path}, 0, path},
      {pack_.Get("mes8"), {path, "disk full"}, 0, "disk full"},
      {pack_.Get("mes9"), {}, 0, "memory"},
  };
  for (const auto& use : uses) {
    FormatCheck check;
    const std::string text = FormatText(use.format, use.args, &check);
    EXPECT_EQ(check.mismatched, 0) << use.format;
    EXPECT_EQ(check.args_used, use.args.size()) << use.format;
    EXPECT_NE(text.find(use.contains), std::string::npos) << text;
    if (use.columns != 0) {
      const auto cells = SplitDelimited(text, ',');
      ASSERT_EQ(cells.size(), use.columns) << text;
      EXPECT_EQ(cells[0], "") << text;
    }
  }
  const auto mes0 = FormatText(pack_.Get("mes0"), {path, 42, FormatArg::Char('%')});
  EXPECT_NE(mes0.find(path), std::string::npos) << mes0;
}

TEST_F(EnglishPack, LabelsAndGroupCaptionsKeepTheirBlanks) {
  for (const char* id : {"id0", "id1", "id2"}) {
    const std::string text = pack_.Get(id);
    ASSERT_FALSE(text.empty()) << id;
    EXPECT_EQ(text.back(), ' ') << id << ": the number follows the text directly";
  }
  std::vector<std::string> framed = {"0", "19", "24", "27"};
  for (int i = 0; i <= 14; ++i) framed.push_back("stat" + std::to_string(i));
  for (const auto& id : framed) {
    const std::string text = pack_.Get(id);
    ASSERT_GE(text.size(), 3u) << id;
    EXPECT_EQ(text.front(), ' ') << id;
    EXPECT_EQ(text.back(), ' ') << id;
  }
  for (const char* id : {"m1", "m11", "m12", "m13", "m3", "m4", "m41", "m42", "m44"}) {
    const std::string text = pack_.Get(id);
    EXPECT_EQ(std::count(text.begin(), text.end(), '&'), 1) << id << ": one accelerator";
  }
}

}  // namespace
}  // namespace tw
