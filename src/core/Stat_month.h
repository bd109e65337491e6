#pragma once

// The analysed month: the month of the record in the middle of the loaded log
// (index RecordCount / 2). Only records of that month number, in any year,
// are analysed.

#include <cstdint>

#include "Loadlog_record.h"
#include "Main_form.h"

namespace tw {

// The record at index RecordCount / 2, or null when no record is loaded.
inline const LogRecord* MiddleRecord(const TSDIAppForm& form) {
  if (!form.Records || form.RecordCount <= 0 || form.Records->Count() <= 0) return nullptr;
  const std::int32_t count = form.RecordCount < form.Records->Count() ? form.RecordCount
                                                                      : form.Records->Count();
  return (*form.Records)[count / 2];
}

// The month number 1-12 of the middle record (0-15 as stored), or 0 without records.
inline int AnalysisMonth(const TSDIAppForm& form) {
  const LogRecord* middle = MiddleRecord(form);
  return middle ? LogMonth(middle->LogTime) : 0;
}

}  // namespace tw
