#include "base/text_format.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/lsan_interface.h>)
#include <sanitizer/lsan_interface.h>
#define TW_IGNORE_C_LIBRARY_LEAKS __lsan::ScopedDisabler c_library_leaks
#else
#define TW_IGNORE_C_LIBRARY_LEAKS
#endif

namespace tw {
namespace {

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

// What the C library prints in the "C" locale, cut to the formatter's limit.
template <typename T>
std::string CFormat(const std::string& format, T value) {
  std::vector<char> buf(8192);
  std::snprintf(buf.data(), buf.size(), format.c_str(), value);
  std::string s(buf.data());
  return s.substr(0, kFormatLimit);
}

struct Case {
  std::string format;
  std::vector<FormatArg> args;
  std::string expected;
  int mismatched = 0;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    FormatCheck check;
    EXPECT_EQ(FormatText(c.format, c.args, &check), c.expected) << "format [" << c.format << "]";
    EXPECT_EQ(check.mismatched, c.mismatched) << "format [" << c.format << "]";
  }
}

TEST(FormatText, FormatsTheCallersOfTheProgram) {
  ExpectCases({
      {"Loading %s: %d%c",
       {"C:\\logs\\access.log", 42, FormatArg::Char('%')},
       "Loading C:\\logs\\access.log: 42%"},
      {"Loading %s: %d%c", {std::string("x"), 100, 37}, "Loading x: 100%"},
      {"\"\",\"Total: %d rows\",%d,%d,%d,%d",
       {31, 1000, 900, 50, 60},
       "\"\",\"Total: 31 rows\",1000,900,50,60"},
      {"\"\",Total,%d,%.2f%%", {5, 100.0}, "\"\",Total,5,100.00%"},
      {"%.2f%", {12.5}, "12.50%"},
      {"%02d %s %04d", {7, std::string_view("March"), 2008}, "07 March 2008"},
      {"%d.%d.%d.%d", {192, 168, 0, 1}, "192.168.0.1"},
      {"%2.2d.%2.2d.%4d", {1, 3, 2008}, "01.03.2008"},
  });
}

TEST(FormatText, PrintsPercentSigns) {
  ExpectCases({
      {"%", {}, "%"},
      {"100%", {}, "100%"},
      {"%%", {}, "%"},
      {"%%%", {}, "%%"},
      {"%d%%", {5}, "5%"},
      {"%d%", {5}, "5%"},
      {"a%%b", {1}, "a%b"},
  });
}

TEST(FormatText, HandlesCharactersAndTheirCodes) {
  ExpectCases({
      {"%c", {65}, "A"},
      {"%c", {321}, "A"},  // the low byte
      {"%c", {FormatArg::Char('%')}, "%"},
      {"%c", {'x'}, "x"},
      {"%3c|%-3c|", {'a', 'b'}, "  a|b  |"},
      {"%d", {FormatArg::Char('%')}, "37"},
      {"%d", {FormatArg::Char('\xE9')}, "233"},  // a Cyrillic letter: its code page code
      {"%x", {FormatArg::Char('\xFF')}, "ff"},
      {"a%cb", {0}, "a"},  // a zero byte ends the result
  });
}

TEST(FormatText, FormatsIntegersOfEveryWidth) {
  constexpr auto kLLMin = std::numeric_limits<long long>::min();
  constexpr auto kULLMax = std::numeric_limits<unsigned long long>::max();
  ExpectCases({
      {"%d", {std::numeric_limits<int>::min()}, "-2147483648"},
      {"%d", {kLLMin}, "-9223372036854775808"},
      {"%x", {kLLMin}, "8000000000000000"},
      {"%u", {kULLMax}, "18446744073709551615"},
      {"%d", {kULLMax}, "18446744073709551615"},  // an unsigned value stays positive
      {"%x", {-1}, "ffffffff"},                   // two's complement of an int
      {"%x", {-1LL}, "ffffffffffffffff"},         // of a long long
      {"%u", {-1}, "4294967295"},
      {"%o", {8u}, "10"},
      {"%lld %hhd %zu %jd %td %ld %hd", {1, 2, 3u, 4, 5, 6L, 7}, "1 2 3 4 5 6 7"},
      {"%Lf", {1.5}, "1.500000"},
  });
}

TEST(FormatText, MatchesTheCLibraryForIntegers) {
  const char* flag_sets[] = {"", "-", "+", " ", "0", "#", "-0", "+0", "#0", "-#", "+ "};
  const char* widths[] = {"", "1", "6", "25"};
  const char* precisions[] = {"", ".", ".0", ".1", ".5", ".30"};
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  const int values[] = {0, 1, -1, 7, -42, 255, 123456, kMax, kMin};
  for (char conv : std::string("diouxX")) {
    for (const char* flags : flag_sets) {
      // '#' has no meaning for d, i, u; '+' and ' ' none for the unsigned ones.
      const std::string f = flags;
      const bool is_signed = conv == 'd' || conv == 'i';
      if (f.find('#') != std::string::npos && (is_signed || conv == 'u')) continue;
      if (!is_signed && (f.find('+') != std::string::npos || f.find(' ') != std::string::npos)) {
        continue;
      }
      for (const char* width : widths) {
        for (const char* precision : precisions) {
          const std::string format = "[%" + f + width + precision + conv + "]";
          for (int v : values) {
            EXPECT_EQ(FormatText(format, {v}), CFormat(format, v)) << format << " of " << v;
          }
        }
      }
    }
  }
}

TEST(FormatText, MatchesTheCLibraryForFloatingPoint) {
  const char* flag_sets[] = {"", "-", "+", " ", "0", "#", "-0", "+0", "#0", "-#", "+ ", "#+0"};
  const char* widths[] = {"", "1", "12", "30"};
  const char* precisions[] = {"", ".", ".0", ".1", ".3", ".17", ".40"};
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  const double values[] = {0.0,
                           -0.0,
                           1.0,
                           -1.5,
                           0.5,
                           2.5,
                           9.9999995,
                           0.1,
                           123.456,
                           1e-5,
                           1.5e-4,
                           1e10,
                           1e100,
                           -6.02e23,
                           1e-300,
                           4.9e-324,
                           1.7976931348623157e308,
                           kInf,
                           -kInf,
                           kNan};
  for (char conv : std::string("fFeEgGaA")) {
    for (const char* flags : flag_sets) {
      for (const char* width : widths) {
        for (const char* precision : precisions) {
          const std::string format = std::string("[%") + flags + width + precision + conv + "]";
          for (double v : values) {
            // Hex forms of subnormals are written differently by C libraries.
            if ((conv == 'a' || conv == 'A') && v != 0 && std::fabs(v) < 1e-307) continue;
            EXPECT_EQ(FormatText(format, {v}), CFormat(format, v)) << format << " of " << v;
          }
        }
      }
    }
  }
}

TEST(FormatText, MatchesTheCLibraryForTexts) {
  const char* formats[] = {"[%s]",    "[%8s]",    "[%-8s]",  "[%.2s]",
                           "[%8.2s]", "[%-8.0s]", "[%.20s]", "[%1s]"};
  const char* texts[] = {"", "abc", "\xCF\xF0\xE8\xE2\xE5\xF2 world"};
  for (const char* format : formats) {
    for (const char* text : texts) {
      EXPECT_EQ(FormatText(format, {text}), CFormat(format, text)) << format << " of " << text;
    }
  }
}

TEST(FormatText, CopiesConversionsThatDoNotFitTheirArgument) {
  ExpectCases({
      {"%s", {5}, "%s", 1},
      {"%s", {FormatArg::Char('a')}, "%s", 1},
      {"%s", {2.5}, "%s", 1},
      {"%d", {"abc"}, "%d", 1},
      {"%d", {2.5}, "%d", 1},
      {"%x", {"abc"}, "%x", 1},
      {"%c", {"abc"}, "%c", 1},
      {"%c", {2.5}, "%c", 1},
      {"%f", {3}, "%f", 1},
      {"%-08.3e", {"x"}, "%-08.3e", 1},
      {"%g", {FormatArg::Char('a')}, "%g", 1},
      {"%p", {1}, "%p", 1},
      {"%n", {1}, "%n", 1},
      {"%d", {}, "%d", 1},
      {"%d and %s", {1}, "1 and %s", 1},
      {"%*d", {5, 42}, "%*d", 1},
      {"%.*f", {2, 1.5}, "%.*f", 1},
      {"%*.*f", {8, 2, 1.5}, "%*.*f", 1},
      {"%y", {1}, "%y", 1},
      {"%5$d", {1}, "%5$d", 1},
      {"%lq", {1}, "%lq", 1},
      {"%hhh", {1}, "%hhh", 1},
      {"%-5", {1}, "%-5", 1},  // an unfinished conversion at the end
      {"%.", {1}, "%.", 1},
      {"%5%", {}, "%5%", 1},
      {"% %d", {3}, "% 3", 1},  // stops at the second '%', which starts a conversion
      {"%ls and %lc", {"a", 'b'}, "a and b", 0},
  });
}

TEST(FormatText, KeepsLaterConversionsWithTheirArguments) {
  ExpectCases({
      {"%s|%d", {1, 2}, "%s|2", 1},  // the faulty one consumed the 1
      {"%d|%s|%d", {"a", "b", 3}, "%d|b|3", 1},
      {"%n|%d", {1, 2}, "%n|2", 1},
      {"%*d|%d", {5, 42, 7}, "%*d|7", 1},  // a '*' consumes as printf would
      {"%.*f|%s", {2, 1.5, "x"}, "%.*f|x", 1},
      {"%*d|%d", {5}, "%*d|%d", 2},  // too few for the '*' form: none left
      {"%y|%d", {1}, "%y|1", 1},     // an unknown letter consumes nothing
      {"%d|%d|%d", {1, "two", 3}, "1|%d|3", 1},
  });
  FormatCheck check;
  FormatText("%d %s", {1, "a", 2}, &check);
  EXPECT_EQ(check.args_used, 2u);
  FormatText("%*d %d", {1, 2, 3, 4}, &check);
  EXPECT_EQ(check.args_used, 3u);
}

TEST(FormatText, UsesAPointWhateverTheLocale) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE",        "fr_FR.UTF-8", "fr_FR.utf8",
                         "ru_RU.UTF-8", "ru_RU.utf8", "ru_RU.CP1251", "nl_NL.UTF-8"};
  // The C library keeps a few bytes of a locale found through LOCPATH.
  TW_IGNORE_C_LIBRARY_LEAKS;
  locale_t comma = nullptr;
  for (const char* name : names) {
    comma = newlocale(LC_ALL_MASK, name, nullptr);
    if (comma != nullptr) break;
  }
  if (comma == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const locale_t previous = uselocale(comma);
  char probe[32];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  const std::string c_library = probe;
  const std::string cases[][2] = {
      {FormatText("%.2f", {3.25}), "3.25"},  {FormatText("%e", {1.5}), "1.500000e+00"},
      {FormatText("%g", {0.5}), "0.5"},      {FormatText("%#.0f", {2.0}), "2."},
      {FormatText("%a", {1.5}), "0x1.8p+0"}, {FormatText("%.2f%%", {100.0}), "100.00%"},
  };
  uselocale(previous);
  freelocale(comma);
  ASSERT_EQ(c_library, "1,5") << "the locale was meant to print a decimal comma";
  for (const auto& c : cases) EXPECT_EQ(c[0], c[1]);
}

TEST(FormatText, CutsTheResultAt1023Characters) {
  FormatCheck check;
  EXPECT_EQ(FormatText(Repeat('a', 2000), {}, &check), Repeat('a', 1023));
  EXPECT_TRUE(check.cut);
  EXPECT_EQ(FormatText(Repeat('a', 1023), {}, &check), Repeat('a', 1023));
  EXPECT_FALSE(check.cut);
  EXPECT_EQ(FormatText("%s", {Repeat('b', 5000)}, &check), Repeat('b', 1023));
  EXPECT_TRUE(check.cut);
  EXPECT_EQ(FormatText(Repeat('a', 1020) + "%d", {123456}), Repeat('a', 1020) + "123");
  EXPECT_EQ(FormatText(Repeat('a', 1022) + "%%", {}), Repeat('a', 1022) + "%");
  EXPECT_EQ(FormatText(Repeat('a', 1023) + "%s", {"x"}), Repeat('a', 1023));
}

TEST(FormatText, BoundsHugeWidthsAndPrecisions) {
  // Each of these would take a gigabyte if it were written out.
  EXPECT_EQ(FormatText("%999999999d", {1}), Repeat(' ', 1023));
  EXPECT_EQ(FormatText("%-999999999d|", {1}), "1" + Repeat(' ', 1022));
  EXPECT_EQ(FormatText("%0999999999d", {-1}), "-" + Repeat('0', 1022));
  EXPECT_EQ(FormatText("%.999999999d", {7}), Repeat('0', 1023));
  EXPECT_EQ(FormatText("%.999999999f", {1.5}), "1.5" + Repeat('0', 1020));
  EXPECT_EQ(FormatText("%.999999999e", {1.5}), "1.5" + Repeat('0', 1020));
  EXPECT_EQ(FormatText("%#.999999999g", {1.5}), "1.5" + Repeat('0', 1020));
  EXPECT_EQ(FormatText("%.999999999g", {1.5}), "1.5");
  EXPECT_EQ(FormatText("%.999999999s", {"abc"}), "abc");
  EXPECT_EQ(FormatText("%99999999999999999999999d", {1}), Repeat(' ', 1023));
  EXPECT_EQ(FormatText("%999999999.3f", {1.0}), Repeat(' ', 1023));
  EXPECT_EQ(FormatText("%999999999.999999999f", {1.0}),
            "1." + Repeat('0', 1021));  // no room to pad
  EXPECT_EQ(FormatText("%999999999c", {'x'}), Repeat(' ', 1023));
}

TEST(FormatText, KeepsExactDigitsAndPaddingPastTheComputedPrecision) {
  const char* formats[] = {"%2100.2000f", "%.1500e",      "%#.1500g",    "%.1500g",
                           "%1200.1150f", "%-1500.1200e", "%01300.1100f"};
  const double values[] = {1.0, 0.1, -2.5e-300, 4.9e-324, 1e300};
  for (const char* format : formats) {
    for (double v : values) {
      EXPECT_EQ(FormatText(format, {v}), CFormat(format, v)) << format << " of " << v;
    }
  }
}

TEST(FormatText, EndsTextsAtTheirZeroByte) {
  ExpectCases({
      {std::string("ab\0%d", 5), {1}, "ab"},
      {"[%s]", {std::string_view("x\0y", 3)}, "[x]"},
      {"[%s]", {static_cast<const char*>(nullptr)}, "[]"},
  });
}

TEST(FormatText, SurvivesArbitraryFormats) {
  // Formats made of conversion pieces, with arguments of every kind in any order.
  const char kPieces[] = "%%%%-+ #0123456789999.*hlLjztqdiouxXcsfFeEgGaAnp$y\0ab";
  const std::string alphabet(kPieces, sizeof kPieces - 1);  // the zero byte included
  const std::string big(3000, 'w');
  const std::vector<FormatArg> pool = {0,     -1,       std::numeric_limits<long long>::min(),
                                       2.5,   -0.0,     std::numeric_limits<double>::infinity(),
                                       "t",   big,      FormatArg::Char('\xFF'),
                                       1e308, 4.9e-324, std::string_view()};
  std::mt19937 random(12345);
  for (int round = 0; round < 20000; ++round) {
    std::string format;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) format.push_back(alphabet[random() % alphabet.size()]);
    std::vector<FormatArg> args;
    const int count = static_cast<int>(random() % 5);
    for (int i = 0; i < count; ++i) args.push_back(pool[random() % pool.size()]);
    FormatCheck check;
    const std::string text = FormatText(format, args, &check);
    ASSERT_LE(text.size(), kFormatLimit) << format;
    ASSERT_LE(check.args_used, args.size()) << format;
  }
}

}  // namespace
}  // namespace tw
