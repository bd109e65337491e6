#pragma once

// The texts a load shows: the closing message, the name of the log in the
// information box and the caption, and the refusals.

#include <string>
#include <vector>

#include "base/language.h"
#include "load/loader.h"

namespace tw {

// Why the load was refused, for a message box.
std::string RefusalMessage(const LanguagePack& lang, const LoadRefusal& refusal);

// "access_log.2.gz" for one file, "access_log.2.gz and 2 more files" for three.
std::string LogTitle(const LanguagePack& lang, const std::vector<LoadedFile>& files);
// LogTitle with the first file's whole path, for the caption.
std::string LogCaptionTitle(const LanguagePack& lang, const std::vector<LoadedFile>& files);

// Information-box lines naming the format of each file not read as combined.
std::vector<std::string> FormatLines(const LanguagePack& lang, const std::vector<LoadedFile>& files);

struct LoadSummary {
  std::string message;  // the closing message
  std::string error;    // files that could not be opened; empty when all could
  std::string warning;  // files that broke off part way; empty when none did
};

// The closing message: the counts, the rejected pieces by reason, then what
// went wrong with single files.
LoadSummary SummariseLoad(const LanguagePack& lang, const LoadedLog& log, std::int64_t records);

}  // namespace tw
