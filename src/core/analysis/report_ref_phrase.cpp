#include "analysis/report_kinds.h"

namespace tw {

namespace {

bool HasPhrase(const ReportContext&, const LogRecord& r) {
  return r.ReferrerKind == RefSearchEngine && r.SearchPhrase() != nullptr;
}

}  // namespace

// Search phrases: one row per phrase; a search engine visit without a phrase
// is not counted here.
const RowReport kSearchPhrasesReport{
    .SortByCount = true,
    .Text = &LogRecord::SearchPhraseRef,
    .Counts = HasPhrase,
};

}  // namespace tw
