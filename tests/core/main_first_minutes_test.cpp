// What a new user meets first: the closing message over the load's result,
// the help page beside the program, and chart axes that count in whole numbers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "form/file_address.h"
#include "form/form.h"
#include "loadlog_fixture.h"
#include "present/chart_axis.h"

namespace tw {
namespace {

using loadlog_testing::GoodLine;
using loadlog_testing::LoadLogTest;

TEST_F(LoadLogTest, ClosingMessageComesAfterInformationBoxCaptionAndLastPercent) {
  const std::string path = Log("site.example-access_log", GoodLine("01/Mar/2008") +
                                                              GoodLine("02/Mar/2008") + "junk\n");
  std::vector<std::string> memo_at_message;
  std::string caption_at_message;
  platform_.on_message = [&](const std::string&) {
    memo_at_message = form_->Memo3;
    caption_at_message = form_->Caption;
  };
  form_->LoadLog(path);

  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(memo_at_message, form_->Memo3) << "the box shows over the final information box";
  EXPECT_EQ(memo_at_message.at(1), "  Records: 2");
  EXPECT_EQ(caption_at_message, path + " - Quelmark Tallyweave");
  EXPECT_EQ(platform_.status_at_message, std::vector<std::string>{"Loading " + path + ": 100%"});
}

TEST(HelpPage, ShipsBesideTheProgramAndHelpOpensIt) {
  testing::FakePlatform platform;
  TSDIAppForm form(platform);
  form.Help2Click();
  ASSERT_EQ(platform.links.size(), 1u);
  EXPECT_EQ(platform.links[0], FileAddress(platform.folder + kHelpFileName));
  EXPECT_TRUE(std::filesystem::is_regular_file(platform.folder + kHelpFileName))
      << "the build copies the page next to the binaries";
}

TEST(FileAddress, EncodesWhatAnAddressCannotHold) {
  const std::pair<std::string, std::string> cases[] = {
      {"/opt/tw/help.html", "file:///opt/tw/help.html"},
      {"/home/a b/x_y-z~.html", "file:///home/a%20b/x_y-z~.html"},
      {"/t/100%#?;&+.html", "file:///t/100%25%23%3F%3B%26%2B.html"},
      {"/\xD0\x9F/\xCF", "file:///%D0%9F/%CF"},
  };
  for (const auto& [path, address] : cases) EXPECT_EQ(FileAddress(path), address) << path;
}

TEST(WholeNumberAxis, StepsOfOneTwoOrFiveTimesAPowerOfTen) {
  struct Case {
    double low, high;
    bool round_up;
    AxisTicks expected;
  };
  const Case cases[] = {
      {0, 0, true, {0, 1, 1}},          // an empty chart: 0 and 1, no fractions
      {0, 0.4, true, {0, 1, 1}},
      {0, 6, true, {0, 6, 1}},
      {0, 7, true, {0, 8, 2}},
      {0, 93, true, {0, 100, 20}},
      {0, 1000, true, {0, 1000, 200}},
      {0, 1234567, true, {0, 1500000, 500000}},
      {1, 31, false, {1, 31, 5}},       // days of a month keep their ends
      {0, 23, false, {0, 23, 5}},       // hours
      {1, 1, false, {1, 2, 1}},
  };
  for (const Case& c : cases) {
    const AxisTicks got = WholeNumberAxis(c.low, c.high, c.round_up);
    EXPECT_EQ(got.Min, c.expected.Min) << c.low << ".." << c.high;
    EXPECT_EQ(got.Max, c.expected.Max) << c.low << ".." << c.high;
    EXPECT_EQ(got.Step, c.expected.Step) << c.low << ".." << c.high;
    EXPECT_LE((got.Max - got.Min) / got.Step, 6 + 1e-9) << c.low << ".." << c.high;
  }
}

}  // namespace
}  // namespace tw
