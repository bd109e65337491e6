#include "parse/referrer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fake_files.h"
#include "log/string_pool.h"
#include "temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

EngineList MakeEngines(std::vector<std::pair<std::string, std::string>> lines) {
  EngineList list;
  for (auto& [name, param] : lines) {
    list.EngineNames.push_back(name);
    list.EngineParams.push_back(param);
  }
  return list;
}

// A folder of its own for each test, removed afterwards.
class EngineFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    dir_ = temp_.path();
    folder_ = temp_.Slashed();
  }

  void WriteList(const std::string& bytes) {
    std::FILE* f = std::fopen((folder_ + "engines.lst").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  testing::TempFolder temp_;
  fs::path dir_;
  std::string folder_;
};

TEST_F(EngineFileTest, ReadsNameAndPrefixPerLineWhateverTheLineBreak) {
  WriteList("google;q=\r\nyandex;text=\nrambler;query=\rgo.mail.ru;q=\r\n");
  EngineList list;
  LoadEngineList(folder_, list);
  EXPECT_EQ(list.EngineNames,
            (std::vector<std::string>{"google", "yandex", "rambler", "go.mail.ru"}));
  EXPECT_EQ(list.EngineParams, (std::vector<std::string>{"q=", "text=", "query=", "q="}));
}

TEST_F(EngineFileTest, MissingFileGivesEmptyList) {
  EngineList list = MakeEngines({{"stale", "x="}});
  LoadEngineList(folder_, list);
  EXPECT_TRUE(list.EngineNames.empty());
  EXPECT_TRUE(list.EngineParams.empty());
}

TEST_F(EngineFileTest, UnreadableFileGivesEmptyList) {
  fs::create_directories(dir_ / "engines.lst");  // a folder in place of the file
  EngineList list;
  LoadEngineList(folder_, list);
  EXPECT_TRUE(list.EngineNames.empty());
}

TEST(EngineList, LoadsThroughTheGivenFiles) {
  using File = testing::FakeFiles::File;
  const struct Case {
    const char* name;
    std::optional<File> file;
    std::vector<std::string> names;
  } cases[] = {
      {"present", File{"google;q=\nyandex;text=\n"}, {"google", "yandex"}},
      {"missing", std::nullopt, {}},
      {"a folder", File{"", -1, PathInfo::Type::kDirectory}, {}},
      {"a read error after the first line", File{"google;q=\nyandex;text=\n", 10}, {}},
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    if (c.file) files.files["/prog/engines.lst"] = *c.file;
    EngineList list = MakeEngines({{"stale", "x="}});
    LoadEngineList(files, "/prog/", list);
    EXPECT_EQ(list.EngineNames, c.names) << c.name;
    EXPECT_EQ(list.EngineParams.size(), c.names.size()) << c.name;
  }
}

TEST_F(EngineFileTest, KeepsOnlyAsManyEnginesAsTheIndexCanAddress) {
  std::string text;
  for (int i = 0; i < 32770; ++i) {
    text += 'e';
    text += std::to_string(i);
    text += ";q=\n";
  }
  WriteList(text);
  EngineList list;
  LoadEngineList(folder_, list);
  ASSERT_EQ(list.EngineNames.size(), kMaxEngines);
  EXPECT_EQ(list.EngineParams.size(), kMaxEngines);
  EXPECT_EQ(list.EngineNames.back(), "e32766");
}

TEST(EngineList, AppliesTheDelimitedRuleToEachLine) {
  struct Case {
    const char* text;
    std::vector<std::string> names;
    std::vector<std::string> params;
  };
  const Case cases[] = {
      {"", {}, {}},
      {"\n", {}, {}},                               // a break at the end adds no line
      {"a;b\n\n\r\nc;d", {"a", "c"}, {"b", "d"}},   // empty lines are skipped
      {"lonely\nx;y", {"x"}, {"y"}},                // so is a line of one field
      {"a;b;c", {"a"}, {"b"}},                      // a third field is ignored
      {"  a ; b  ", {"a"}, {"b"}},                  // blanks around fields go
      {"my engine;q=", {"my"}, {"engine"}},         // a blank splits an unquoted name
      {"\"my engine\";q=", {"my engine"}, {"q="}},  // unless it is quoted
      {";q=", {""}, {"q="}},                        // an empty name is still an entry
      {"a;", {"a"}, {""}},                          // and so is an empty prefix
      {"a;b\r", {"a"}, {"b"}},
  };
  for (const auto& c : cases) {
    EngineList list;
    ParseEngineList(c.text, list);
    EXPECT_EQ(list.EngineNames, c.names) << "text [" << c.text << "]";
    EXPECT_EQ(list.EngineParams, c.params) << "text [" << c.text << "]";
  }
}

// The list the program ships: enough engines, each usable, none hidden behind
// an earlier name that it contains.
TEST(EngineList, ShippedListIsUsableAndOrdered) {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  ASSERT_FALSE(ec);
  EngineList list;
  LoadEngineList(exe.parent_path().string() + "/", list);
  ASSERT_GE(list.EngineNames.size(), 20u);
  for (std::size_t i = 0; i < list.EngineNames.size(); ++i) {
    const std::string& name = list.EngineNames[i];
    EXPECT_FALSE(name.empty()) << "line " << i;
    EXPECT_TRUE(list.EngineParams[i].ends_with("=")) << name;
    for (std::size_t j = i + 1; j < list.EngineNames.size(); ++j) {
      EXPECT_EQ(list.EngineNames[j].find(name), std::string::npos)
          << list.EngineNames[j] << " stands below " << name << " and can never match";
    }
  }
  EXPECT_EQ(list.EngineParams[FindEngine(list, "yandex.ru")], "text=");
  EXPECT_EQ(list.EngineParams[FindEngine(list, "google.com")], "q=");
  EXPECT_EQ(list.EngineParams[FindEngine(list, "nova.rambler.ru")], "query=");
  EXPECT_EQ(list.EngineNames[FindEngine(list, "go.mail.ru")], "go.mail.ru");
  EXPECT_EQ(FindEngine(list, "e.mail.ru"), -1);  // webmail is no search engine
}

TEST(ReferrerDomain, TakesTheHostPart) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://www.example.com/a/b?c=d", "example.com"},
      {"http://example.com/a", "example.com"},
      {"http://example.com", "example.com"},
      {"http://www.example.com", "example.com"},
      {"https://www.example.com/x", "example.com"},
      {"https://example.com/x", "example.com"},
      {"https://wwwx.com/", "wwwx.com"},
      {"https://a.com/?from=http://www.b.com/", "a.com"},  // a secure address wins
      {"-", "-"},
      {"", ""},
      // Only containment counts for the plain scheme: 7 characters go from the start.
      {"ftp://x.com/?u=http://y.com", ".com"},
      {"android-app://com.app/", "android-app:"},
      {"HTTP://WWW.EXAMPLE.COM/", "HTTP:"},
  };
  for (const auto& [referrer, domain] : cases) {
    EXPECT_EQ(ExtractReferrerDomain(referrer), domain) << "referrer " << referrer;
  }
}

TEST(FindEngine, ReturnsTheFirstNameContainedInTheDomain) {
  const EngineList list = MakeEngines({{"", "x="},  // an empty name matches nothing
                                       {"mail.ru", "q="},
                                       {"go.mail.ru", "q="},
                                       {"google", "q="},
                                       {"google", "as_q="},
                                       {"q", "x="},  // one character: no pair to test
                                       {"example.com.long.name", "x="}});
  const std::pair<const char*, int> cases[] = {
      {"go.mail.ru", 1},  // the first match wins, even a shorter one
      {"google.com", 3},  // the second "google" is never reached
      {"GOOGLE.com", -1}, {"example.com", -1}, {"", -1}, {"aq.ru", 5},
  };
  for (const auto& [domain, index] : cases) {
    EXPECT_EQ(FindEngine(list, domain), index) << "domain " << domain;
  }
}

TEST(SearchPhrase, TakesTheValueAfterThePrefix) {
  const EngineList list = MakeEngines({{"google", "q="}, {"yandex", "text="}});
  const std::string long_value(1200, 'a');
  const std::pair<std::string, std::string> google[] = {
      {"http://www.google.com/search?q=Hello+World&hl=en", "hello world"},
      {"http://www.google.com/search?hl=en&q=test", "test"},
      {"http://www.google.com/search?aq=x&q=y", "y"},
      {"http://www.google.com/search?aq=x", ""},  // "q=" must follow '?' or '&'
      {"http://www.google.com/", ""},
      {"http://www.google.com/search?q=", ""},
      {"http://www.google.com/search?q=&x=1", ""},
      {"http://www.google.com/search?q=+abc", " abc"},  // '+' turns blank after the trim
      {"http://www.google.com/search?q=abc+", "abc "},
      {"http://www.google.com/search?q=  abc \t", "abc"},
      {"http://www.google.com/search?q=a&q=b", "a"},
      {"http://www.google.com/search&q=first?q=second", "second"},  // '?' is tried first
      {"http://www.google.com/search?q=" + long_value, std::string(1000, 'a')},
      {"http://www.google.com/search?q=" + std::string(999, 'a') + "b&c",
       std::string(999, 'a') + "b"},
      {"http://www.google.com/search?q=" + std::string(1000, 'a') + "&c", std::string(1000, 'a')},
  };
  for (const auto& [referrer, phrase] : google) {
    EXPECT_EQ(ExtractSearchPhrase(list, referrer, 0), phrase) << "referrer " << referrer;
  }
  // Capitals of every script are lower-cased as well; the limit counts characters.
  const std::pair<std::string, std::string> yandex[] = {
      {"http://yandex.ru/yandsearch?text=ПриВЕТ", "привет"},
      {"http://yandex.ru/yandsearch?text=München+STRAßE", "münchen straße"},
      {"http://yandex.ru/yandsearch?text=ΣΑΣ", "σασ"},
      {"http://yandex.ru/yandsearch?text=中文", "中文"},
      {"http://yandex.ru/yandsearch?text=" + std::string(1000, 'x') + "Я", std::string(1000, 'x')},
      {"http://yandex.ru/yandsearch?text=" + std::string(999, 'x') + "ЯЯ", std::string(999, 'x') + "я"},
  };
  for (const auto& [referrer, phrase] : yandex) {
    EXPECT_EQ(ExtractSearchPhrase(list, referrer, 1), phrase) << "referrer " << referrer;
  }
}

class ClassifyReferrerTest : public ::testing::Test {
 protected:
  LogRecord Classify(std::string_view referrer, std::string_view site = "mysite.ru") {
    LogRecord record;
    record.ReferrerKind = RefOwnSite;  // stale values must all be replaced
    record.EngineIndex = 7;
    record.SetSearchPhrase(stale_.Intern("stale"));
    const ReferrerContext ctx{&domains_, &phrases_, site, &engines_};
    ClassifyReferrer(ctx, referrer, &record, buffer_);
    return record;
  }

  EngineList engines_ =
      MakeEngines({{"images.google", "q="}, {"google", "q="}, {"yandex", "text="}});
  StringPool domains_;
  StringPool phrases_;
  StringPool stale_;
  std::string buffer_;
};

TEST_F(ClassifyReferrerTest, SortsReferrersIntoTheFourKinds) {
  struct Case {
    const char* referrer;
    const char* site;
    int kind;
    int engine;
    const char* domain;
    const char* phrase;  // null: none
  };
  const Case cases[] = {
      {"-", "mysite.ru", RefNone, 0, "-", nullptr},
      {"", "mysite.ru", RefExternal, 0, "", nullptr},
      {"http://www.mysite.ru/page", "mysite.ru", RefOwnSite, 0, "mysite.ru", nullptr},
      {"http://forum.mysite.ru/", "mysite.ru", RefOwnSite, 0, "forum.mysite.ru", nullptr},
      // The own site is tested before the engines.
      {"http://google.mysite.ru/?q=x", "mysite.ru", RefOwnSite, 0, "google.mysite.ru", nullptr},
      {"http://www.google.com/search?q=Cheap+Flights", "mysite.ru", RefSearchEngine, 1,
       "google.com", "cheap flights"},
      {"https://www.google.ru/search?q=x", "mysite.ru", RefSearchEngine, 1, "google.ru", "x"},
      {"http://images.google.com/imgres?q=cat", "mysite.ru", RefSearchEngine, 0,
       "images.google.com", "cat"},
      {"http://yandex.ru/yandsearch?text=abc", "mysite.ru", RefSearchEngine, 2, "yandex.ru", "abc"},
      {"http://www.google.com/", "mysite.ru", RefSearchEngine, 1, "google.com", nullptr},
      {"http://www.other.com/mysite.ru", "mysite.ru", RefExternal, 0, "other.com", nullptr},
      {"http://www.mysite.ru/", "", RefExternal, 0, "mysite.ru", nullptr},     // no site name yet
      {"http://www.SHOP.ru/", "shop.ru", RefExternal, 0, "SHOP.ru", nullptr},  // case counts
      // A site named after its www address: the domain has lost its "www." too.
      {"http://www.mysite.ru/page", "www.mysite.ru", RefOwnSite, 0, "mysite.ru", nullptr},
      {"https://www.mysite.ru/", "www.mysite.ru", RefOwnSite, 0, "mysite.ru", nullptr},
      {"http://mysite.ru/", "www.mysite.ru", RefOwnSite, 0, "mysite.ru", nullptr},
      {"http://www.other.ru/", "www.mysite.ru", RefExternal, 0, "other.ru", nullptr},
      {"http://www.mysite.ru/", "www.", RefExternal, 0, "mysite.ru", nullptr},
  };
  for (const auto& c : cases) {
    const LogRecord r = Classify(c.referrer, c.site);
    EXPECT_EQ(r.ReferrerKind, c.kind) << "referrer " << c.referrer;
    EXPECT_EQ(r.EngineIndex, c.engine) << "referrer " << c.referrer;
    EXPECT_STREQ(r.ReferrerDomain(), c.domain) << "referrer " << c.referrer;
    EXPECT_STREQ(r.SearchPhrase(), c.phrase) << "referrer " << c.referrer;
  }
}

TEST_F(ClassifyReferrerTest, InternsDomainsAndPhrases) {
  const LogRecord a = Classify("http://www.google.com/search?q=Red+Car");
  const LogRecord b = Classify("http://google.com/?q=red+car&x=1");
  const LogRecord c = Classify("http://GOOGLE.COM/");  // not an engine: names match by case
  EXPECT_NE(a.ReferrerDomain(), nullptr);
  EXPECT_EQ(a.ReferrerDomain(), b.ReferrerDomain());
  EXPECT_EQ(a.ReferrerDomain(), c.ReferrerDomain());
  EXPECT_STREQ(c.ReferrerDomain(), "google.com");  // the first spelling stays
  EXPECT_EQ(c.ReferrerKind, RefExternal);
  EXPECT_EQ(a.SearchPhrase(), b.SearchPhrase());
  EXPECT_EQ(phrases_.Count(), 1u);
}

TEST(ClassifyReferrer, WithoutEnginesNothingIsASearchEngine) {
  StringPool domains, phrases;
  std::string buffer;
  LogRecord record;
  ClassifyReferrer({&domains, &phrases, "mysite.ru", nullptr}, "http://www.google.com/?q=a",
                   &record, buffer);
  EXPECT_EQ(record.ReferrerKind, RefExternal);
  EXPECT_EQ(phrases.Count(), 0u);
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// Remembering each domain's engine on the pool must change no verdict, also
// when later lines spell a domain in other letters than the pool keeps.
TEST(ClassifyReferrer, RememberedEnginesGiveTheVerdictsOfALookupPerLine) {
  const EngineList engines = MakeEngines({{"google", "q="}, {"yandex", "text="}});
  const char* referrers[] = {
      "http://GOOGLE.com/search?q=a", "http://google.com/search?q=b",
      "http://google.com/search?q=c", "http://GOOGLE.com/search?q=d",
      "http://yandex.ru/yandsearch?text=e", "http://example.org/", "http://EXAMPLE.org/x",
      "http://yandex.ru/yandsearch?text=f", "-", "http://google.com/search?q=g"};
  struct Seen {
    int kind, engine;
    std::string domain, phrase;
    bool operator==(const Seen&) const = default;
  };
  const auto classify_all = [&](bool remember) {
    StringPool domains, phrases;
    std::string buffer;
    const ReferrerContext ctx{&domains, &phrases, "mysite.ru", &engines, remember};
    std::vector<Seen> seen;
    for (const char* referrer : referrers) {
      LogRecord r;
      ClassifyReferrer(ctx, referrer, &r, buffer);
      seen.push_back({r.ReferrerKind, r.EngineIndex, r.ReferrerDomain(),
                      r.SearchPhrase() != nullptr ? r.SearchPhrase() : ""});
    }
    return seen;
  };
  const std::vector<Seen> once = classify_all(true);
  EXPECT_EQ(once, classify_all(false));
  EXPECT_EQ(once[0].kind, RefExternal);  // the search is letter-case sensitive
  EXPECT_EQ(once[1].kind, RefSearchEngine);
  EXPECT_EQ(once[2].phrase, "c");
}

}  // namespace
}  // namespace tw
