#include "analysis/selection.h"
#include "base/huge_block.h"

#include <array>
#include <cstdint>
#include <memory>
#include <cstring>
#include <string_view>

namespace tw {

namespace {

// The extension of a request as the filter sees it: the text after the last
// '.', empty when there is no '.' or a '\' or ':' follows it. A '/' after the
// '.' does not end it ("/x.y/z" has the extension "y/z").
std::string_view RequestExtension(const char* url) {
  if (url == nullptr) return {};
  const char* dot = std::strrchr(url, '.');
  if (dot == nullptr) return {};
  const char* ext = dot + 1;
  if (std::strpbrk(ext, "\\:") != nullptr) return {};
  return std::string_view(ext);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool IsGraphics(std::string_view ext) {
  const std::string_view short_ext = ext.substr(0, 3);
  for (const char* graphics : {"jpg", "gif", "png", "bmp", "ico"}) {
    if (short_ext == graphics) return true;
  }
  // Four letters: the three-letter test alone would let ".jpeg" through.
  return StartsWith(ext, "jpeg");
}

// The request filter's verdicts on the pooled texts seen lately. A pooled
// text is one pointer however often it is requested, so most records find
// their verdict here instead of reading their text again.
class FilterVerdicts {
 public:
  explicit FilterVerdicts(int filter) : filter_(filter) {}
  bool Passes(const char* url) {
    const auto bits = reinterpret_cast<std::uintptr_t>(url);
    Slot& slot = slots_[(bits * 0x9E3779B97F4A7C15ULL) >> (64 - kSlotBits)];
    if (slot.url != url || !slot.known) {
      slot = {url, RequestPassesFilter(filter_, url), true};
    }
    return slot.passes;
  }

 private:
  static constexpr int kSlotBits = 12;
  struct Slot {
    const char* url = nullptr;
    bool passes = false;
    bool known = false;
  };
  int filter_;
  std::array<Slot, std::size_t{1} << kSlotBits> slots_{};
};

}  // namespace

bool RequestPassesFilter(int filter, const char* url) {
  if (filter == 3) return true;
  const std::string_view ext = RequestExtension(url);
  if (filter == 2) return !IsGraphics(ext);
  const std::string_view short_ext = ext.substr(0, 3);
  return short_ext.empty() || short_ext == "htm" || short_ext == "php";
}

std::vector<const LogRecord*> SelectRecordsOf(const RecordArray& records,
                                              const SelectionChoice& choice) {
  // The root stands for the whole site, requests that don't start with '/'
  // ("*", absolute addresses) included.
  const bool whole_site = choice.section == "/";
  const std::string& section = choice.section;
  const std::int32_t count = records.Count();
  std::vector<const LogRecord*> selected;
  // Room for every record at once: growing by doubling would hold the old and
  // the new array together, half as much again as the whole selection.
  ReserveInHugePages(selected, static_cast<std::size_t>(count));
  auto verdicts = std::make_unique<FilterVerdicts>(choice.request_filter);
  const PeriodDays days(choice.period);
  for (std::int32_t i = 0; i < count; ++i) {
    const LogRecord* r = records[i];
    if (choice.skip_crawlers && r->IsCrawler) continue;
    if (!days.Contains(r->LogTime)) continue;
    if (choice.request_filter != 3 && !verdicts->Passes(r->Url())) continue;
    if (!whole_site &&
        (r->Url() == nullptr || std::strncmp(r->Url(), section.c_str(), section.size()) != 0)) {
      continue;
    }
    selected.push_back(r);
  }
  return selected;
}

}  // namespace tw
