#include "Stat_kinds.h"

namespace tw {

// Requested pages: one row per request path (query included), most requested first.
const RowReport kRequestsReport{
    .SortByCount = true,
    .Text = &LogRecord::UrlRef,
};

}  // namespace tw
