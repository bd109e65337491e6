#include <gtest/gtest.h>

#include <string>

#include "CoreText.h"
#include "base/cp1251.h"

namespace {

std::string Cp1251(const char* utf8) { return tw::Utf8ToCp1251(utf8); }

TEST(CoreTextDecoder, DecodesKnownPathsAsPathsAndTheRestAsCodePage) {
  const QString path = QStringLiteral("/tmp/журнал/сайт.example-access_log");
  CoreTextDecoder decode;
  decode.rememberPath(path);
  const std::string pathBytes = toPathBytes(path);
  const std::string nameBytes = toPathBytes(QStringLiteral("сайт.example-access_log"));

  struct Case {
    const char* what;
    std::string text;
    QString expected;
  };
  const Case cases[] = {
      {"caption", pathBytes + " - Quelmark Tallyweave",
       path + QStringLiteral(" - Quelmark Tallyweave")},
      {"information box line", "  Log: " + nameBytes,
       QStringLiteral("  Log: сайт.example-access_log")},
      {"status text with Cyrillic around the path", Cp1251("Чтение ") + pathBytes + Cp1251(" 50%"),
       QStringLiteral("Чтение ") + path + QStringLiteral(" 50%")},
      {"path twice", pathBytes + "|" + pathBytes, path + QStringLiteral("|") + path},
      {"no path", Cp1251(" Период "), QStringLiteral(" Период ")},
      {"empty", std::string(), QString()},
  };
  for (const Case& c : cases) EXPECT_EQ(decode(c.text), c.expected) << c.what;
}

TEST(CoreTextDecoder, KeepsEarlierPathsWhenANewOneIsRemembered) {
  const QString log = QStringLiteral("/tmp/журнал.log");
  const QString csv = QStringLiteral("/tmp/отчёт.csv");
  CoreTextDecoder decode;
  decode.rememberPath(log);
  decode.rememberPath(csv);
  EXPECT_EQ(decode(toPathBytes(log) + " - x"), log + QStringLiteral(" - x"));
  EXPECT_EQ(decode("Cannot write " + toPathBytes(csv)), QStringLiteral("Cannot write ") + csv);
}

TEST(CoreTextDecoder, ReadsUnknownBytesAsCodePage) {
  CoreTextDecoder decode;
  // UTF-8 bytes of a path never handed to the core read as Windows-1251.
  EXPECT_EQ(decode("\xC0\xE1"), QStringLiteral("Аб"));
}

}  // namespace
