#include <gtest/gtest.h>

#include <string>

#include "CoreText.h"

namespace {

TEST(CoreTextDecoder, DecodesKnownPathsAsPathsAndTheRestAsUtf8) {
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
      {"status text with Cyrillic around the path", "Чтение " + pathBytes + " 50%",
       QStringLiteral("Чтение ") + path + QStringLiteral(" 50%")},
      {"path twice", pathBytes + "|" + pathBytes, path + QStringLiteral("|") + path},
      {"no path", " Период ", QStringLiteral(" Период ")},
      {"every script", "Ελλάδα 中文 😀", QStringLiteral("Ελλάδα 中文 😀")},
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

TEST(CoreTextDecoder, ReadsUnknownBytesAsUtf8) {
  CoreTextDecoder decode;
  // The bytes of a path never handed to the core read as the core's UTF-8.
  EXPECT_EQ(decode("\xD0\x90\xD0\xB1"), QStringLiteral("Аб"));
}

TEST(CoreText, WindowTextsReachTheCoreAsUtf8) {
  for (const QString& text : {QString(), QStringLiteral("/news"), QStringLiteral("/новости/ΣΑΣ/中文")}) {
    EXPECT_EQ(fromCoreText(toCoreText(text)), text);
    EXPECT_EQ(toCoreText(text), text.toUtf8().toStdString());
  }
}

}  // namespace
