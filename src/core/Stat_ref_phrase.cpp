#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

namespace {

bool HasPhrase(const TSDIAppForm&, const LogRecord& r) {
  return r.ReferrerKind == RefSearchEngine && r.SearchPhrase() != nullptr;
}

}  // namespace

// Search phrases: one row per phrase; a search engine visit without a phrase
// is not counted here.
const RowReport kSearchPhrasesReport{
    .Kind = 13,
    .SortByCount = true,
    .Text = &LogRecord::SearchPhraseRef,
    .Counts = HasPhrase,
};

void TSDIAppForm::ReportSearchPhrases(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kSearchPhrasesReport, selected, count);
}

}  // namespace tw
