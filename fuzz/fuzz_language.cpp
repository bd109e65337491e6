// A language pack read from arbitrary bytes, then every format text the
// program takes from a pack formatted with the arguments its caller gives,
// and the input itself used as a format. Besides crashes it checks that a
// result never passes the length limit nor holds a zero byte, and that the
// pack gives back the text of the first line of an id, as UTF-8.

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/language.h"
#include "base/text_format.h"
#include "base/utf8.h"
#include "fuzz_support.h"

namespace {

void CheckResult(const std::string& s) {
  FUZZ_CHECK(s.size() <= tw::kFormatLimit);
  FUZZ_CHECK(s.find('\0') == std::string::npos);
}

// The first line of `text` with an '=', as the pack splits it: its id, or
// false when there is none (the pack then must be empty).
bool FirstId(std::string_view text, std::string& id, std::string& value) {
  text = text.substr(0, text.find('\0'));
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      id = line.substr(0, eq);
      value = line.substr(eq + 1);
      return true;
    }
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  tw::LanguagePack lang;
  lang.LoadFromText(input);

  // A pack that is not UTF-8 is read as Windows-1251, the whole pack at once.
  const std::string read = tw::AsUtf8(input.substr(0, input.find('\0')));
  std::string id, value;
  if (FirstId(read, id, value)) {
    FUZZ_CHECK(lang.EntryCount() > 0);
    FUZZ_CHECK(lang.Get(id) == value);
    FUZZ_CHECK(lang.GetOr(id, "fallback") == value);
  } else {
    FUZZ_CHECK(lang.EntryCount() == 0);
  }

  const std::string path = "/var/log/apache2/site.example-access_log";
  CheckResult(tw::FormatText(lang.Get("mes0"), {path, 42, tw::FormatArg::Char('%')}));
  // The load's message is mes2, a line end and this.
  CheckResult(tw::FormatText(lang.Get("mes3"), {static_cast<std::int64_t>(17)}));
  CheckResult(tw::FormatText(lang.Get("id1000"), {31, 12345, 6789, 321, 654}));
  CheckResult(tw::FormatText(lang.Get("id1001"), {14, static_cast<long long>(98765), 100.0}));
  for (const char* mes : {"mes4", "mes5", "mes8"}) {
    CheckResult(tw::FormatText(lang.Get(mes), {path, "No space left on device"}));
  }
  for (const char* mes : {"mes6", "mes7"}) CheckResult(tw::FormatText(lang.Get(mes), {path}));

  // The input as a format, against arguments of every kind and extreme values.
  tw::FormatCheck check;
  const std::string formatted = tw::FormatText(
      input,
      {-1, 2147483647, static_cast<long long>(INT64_MIN), 0u, 18446744073709551615ull, 3.25,
       -0.0, DBL_MAX, DBL_MIN, 4.9e-324, HUGE_VAL, NAN, "text", std::string_view(), "\xCF\xF0",
       tw::FormatArg::Char('\0'), tw::FormatArg::Char('\xFF'), static_cast<short>(-5),
       1e-300, 123456789.0},
      &check);
  CheckResult(formatted);
  FUZZ_CHECK(check.args_used <= 20);
  return 0;
}
