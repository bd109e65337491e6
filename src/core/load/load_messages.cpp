#include "load/load_messages.h"

#include <cstring>

#include "base/text_format.h"
#include "parse/site_name.h"

namespace tw {
namespace {

// " and 1 more file", " and 2 more files"; nothing for a single file.
std::string MoreFiles(const LanguagePack& lang, std::size_t count) {
  if (count < 2) return {};
  const std::string more = std::to_string(count - 1);
  return count == 2 ? FormatText(lang.GetOr("id3", " and %s more file"), {more})
                    : FormatText(lang.GetOr("id4", " and %s more files"), {more});
}

struct ReasonText {
  RejectReason reason;
  const char* id;
  const char* fallback;
};
constexpr ReasonText kReasonTexts[] = {
    {RejectReason::kEmptyLine, "rsn1", "  empty line: %s"},
    {RejectReason::kFieldCount, "rsn2", "  wrong number of fields: %s"},
    {RejectReason::kClientAddress, "rsn3", "  client address: %s"},
    {RejectReason::kTime, "rsn4", "  time: %s"},
    {RejectReason::kRequestLine, "rsn5", "  request line: %s"},
    {RejectReason::kStatus, "rsn6", "  status: %s"},
    {RejectReason::kSize, "rsn7", "  size: %s"},
    {RejectReason::kGluedLines, "rsn9", "  two lines run together: %s"},
    {RejectReason::kDamagedData, "rsn8", "  damaged compressed data: %s"},
};

// Where a decoder's output may already be wrong: after the last part that
// passed its check.
std::string UncheckedText(const LanguagePack& lang, const LoadedFile& file) {
  std::string text;
  if (file.broken.unchecked_from < 0) return text;
  text = '\n';
  text += FormatText(lang.GetOr("mes17", "The records read from byte %s of the unpacked text of %s "
                                         "on may be wrong: the damage was found before the check "
                                         "of that part."),
                     {std::to_string(file.broken.unchecked_from), file.path});
  return text;
}

std::string BrokenText(const LanguagePack& lang, const LoadedFile& file) {
  const std::string at = std::to_string(file.broken.offset);
  switch (file.broken.kind) {
    case InputError::Kind::kDamaged:
      return FormatText(lang.GetOr("mes10", "%s is damaged at byte %s; what came before was loaded."),
                        {file.path, at}) +
             UncheckedText(lang, file);
    case InputError::Kind::kTruncated:
      return FormatText(lang.GetOr("mes11", "%s ends inside its compressed data at byte %s; what "
                                            "came before was loaded."),
                        {file.path, at}) +
             UncheckedText(lang, file);
    case InputError::Kind::kRead:
      return FormatText(lang.GetOr("mes12", "Reading %s failed at byte %s: %s; what came before was "
                                            "loaded."),
                        {file.path, at, std::strerror(file.broken.number)});
    case InputError::Kind::kNone: break;
  }
  return {};
}

// "1 GiB", "16 MiB" or "1000 bytes".
std::string SizeText(std::int64_t bytes) {
  constexpr std::int64_t kMiB = std::int64_t{1} << 20;
  if (bytes > 0 && bytes % (kMiB << 10) == 0) return std::to_string(bytes / (kMiB << 10)) + " GiB";
  if (bytes > 0 && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

void AddLine(std::string& text, const std::string& line) {
  if (line.empty()) return;
  if (!text.empty()) text += "\n";
  text += line;
}

}  // namespace

std::string RefusalMessage(const LanguagePack& lang, const LoadRefusal& refusal) {
  switch (refusal.kind) {
    case LoadRefusal::Kind::kZipArchive:
      return FormatText(lang.GetOr("mes6", "%s is a zip archive. Unpack it and open the log it holds."),
                        {refusal.path});
    case LoadRefusal::Kind::kNotRegularFile:
      return FormatText(lang.GetOr("mes7", "%s is not a regular file and cannot be opened as a log."),
                        {refusal.path});
    case LoadRefusal::Kind::kNoCrawlerList:
      return FormatText(lang.GetOr("mes5", "Could not open %s: %s"), {refusal.path, refusal.reason});
    case LoadRefusal::Kind::kOutOfMemory:
      return lang.GetOr("mes9",
                        "There is not enough memory to load the whole log. The log has been closed.");
    case LoadRefusal::Kind::kCancelled:
    case LoadRefusal::Kind::kNone: break;
  }
  return {};
}

std::string LogTitle(const LanguagePack& lang, const std::vector<LoadedFile>& files) {
  if (files.empty()) return {};
  return std::string(FileNameOfPath(files.front().path)) + MoreFiles(lang, files.size());
}

std::string LogCaptionTitle(const LanguagePack& lang, const std::vector<LoadedFile>& files) {
  if (files.empty()) return {};
  return files.front().path + MoreFiles(lang, files.size());
}

std::vector<std::string> FormatLines(const LanguagePack& lang, const std::vector<LoadedFile>& files) {
  std::vector<std::string> lines;
  for (const LoadedFile& file : files) {
    if (file.outcome == LoadedFile::Outcome::kCannotOpen) continue;
    if (file.format.Name() == LogFormatName::kCombined) continue;
    lines.push_back("  " + FormatText(lang.GetOr("id5", "Format of %s: %s"),
                                      {std::string(FileNameOfPath(file.path)), file.format.Label()}));
  }
  return lines;
}

LoadSummary SummariseLoad(const LanguagePack& lang, const LoadedLog& log, std::int64_t records) {
  LoadSummary summary;
  bool any_opened = false;
  std::string notes;
  for (const LoadedFile& file : log.files) {
    if (file.outcome == LoadedFile::Outcome::kCannotOpen) {
      AddLine(summary.error, FormatText(lang.GetOr("mes5", "Could not open %s: %s"),
                                        {file.path, std::strerror(file.open_error)}));
      continue;
    }
    any_opened = true;
    if (file.outcome == LoadedFile::Outcome::kBroken) AddLine(summary.warning, BrokenText(lang, file));
    if (file.reject_cut_at >= 0) {
      AddLine(notes, FormatText(lang.GetOr("mes16", "The reject file %s was cut at its limit of %s: the "
                                                    "rejected lines from byte %s of %s on are counted "
                                                    "but not written."),
                                {file.reject_path, SizeText(file.reject_limit),
                                 std::to_string(file.reject_cut_at), file.path}));
    }
    if (file.reject_error != 0) {
      AddLine(notes, FormatText(lang.GetOr("mes8", "The rejected lines could not be written to %s: %s"),
                                {file.reject_path, std::strerror(file.reject_error)}));
    }
  }
  if (any_opened) {
    // One format made of both texts, so the whole message stops at 1023 characters.
    summary.message = records < 1 ? lang.Get("mes1")
                                  : FormatText(lang.Get("mes2") + "\n" + lang.Get("mes3"), {log.rejected});
    for (const ReasonText& r : kReasonTexts) {
      const std::int64_t count = log.reasons[static_cast<std::size_t>(r.reason)];
      if (count > 0) AddLine(summary.message, FormatText(lang.GetOr(r.id, r.fallback), {std::to_string(count)}));
    }
  }
  AddLine(summary.message, summary.warning);
  AddLine(summary.message, summary.error);
  AddLine(summary.message, notes);
  return summary;
}

}  // namespace tw
