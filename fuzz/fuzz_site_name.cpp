// The site's name taken from a log's file name, on arbitrary paths. Besides
// crashes it checks that the name is a beginning of the lower-cased UTF-8 file name
// (never any part of the folders).

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/letter_case.h"
#include "base/utf8.h"
#include "form/form.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  const std::string site = tw::TSDIAppForm::DeriveSiteName(path);

  const std::size_t slash = path.find_last_of('/');
  const std::string file = tw::ToLower(tw::AsUtf8(slash == std::string::npos ? path : path.substr(slash + 1)));
  FUZZ_CHECK(site.size() <= file.size());
  FUZZ_CHECK(file.compare(0, site.size(), site) == 0);
  FUZZ_CHECK(site.find('/') == std::string::npos);
  return 0;
}
