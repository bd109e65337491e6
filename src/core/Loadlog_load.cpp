// Loading a log: LoadLog, ClearLog and DeriveSiteName of the main window.

#include "Main_form.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "Loadlog_carray.h"
#include "Loadlog_crawlers.h"
#include "Loadlog_line_reader.h"
#include "Loadlog_parser.h"
#include "Text_cp1251.h"
#include "Text_format.h"

namespace tw {
namespace {

// Pieces between two looks at the clock, and the time between two repaints.
constexpr std::uint32_t kPiecesPerClockCheck = 4096;
constexpr auto kPaintInterval = std::chrono::milliseconds(100);

// The latest date the period pickers allow, counted from today.
constexpr int kPickerDaysAhead = 10000;

// Days since 1970-01-01 of a Gregorian date, and back.
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = static_cast<int>(y - era * 400);
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CalendarDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp + (mp < 10 ? 3 : -9);
  return CalendarDate{static_cast<int>(yoe + era * 400) + (m <= 2), m, d};
}

CalendarDate AddDays(const CalendarDate& date, int days) {
  return CivilFromDays(DaysFromCivil(date.Year, date.Month, date.Day) + days);
}

// The file name part of a path.
std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The reject file of one load: created at the first rejected piece, so a log
// without rejects leaves none, and complete once Close has run. When it cannot
// be created or written, rejected pieces are still counted and error() tells why.
class RejectFile {
 public:
  explicit RejectFile(std::string path) : path_(std::move(path)) {}
  ~RejectFile() { Close(); }
  RejectFile(const RejectFile&) = delete;
  RejectFile& operator=(const RejectFile&) = delete;

  void Write(std::string_view piece) {
    if (error_ != 0) return;
    if (file_ == nullptr && !Create()) return;
    if (std::fwrite(piece.data(), 1, piece.size(), file_) != piece.size()) Fail();
  }
  // Flushes and closes the file; a failure to write the last bytes counts too.
  void Close() {
    if (file_ == nullptr) return;
    errno = 0;
    if (std::fclose(file_) != 0) Fail();
    file_ = nullptr;
  }
  // The error number of the first failure, or 0.
  int error() const { return error_; }
  const std::string& path() const { return path_; }

 private:
  // A fresh file: one left at this name (or a link put there since the old
  // one was deleted) is neither appended to nor followed.
  bool Create() {
    const int fd = ::open(path_.c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                          0666);
    if (fd < 0) {
      error_ = errno != 0 ? errno : EIO;
      return false;
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
      error_ = errno != 0 ? errno : EIO;
      ::close(fd);
      return false;
    }
    return true;
  }
  void Fail() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
  }

  std::string path_;
  std::FILE* file_ = nullptr;
  int error_ = 0;
};

// Deletes the reject file of an earlier load; a folder of that name is left alone.
void DeleteRejectFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return;
  std::filesystem::remove(path, ec);
}

}  // namespace

void TSDIAppForm::LoadLog(const std::string& path) {
  // Leaves the window as if no log had ever been opened, and says why.
  auto drop_log = [this](const std::string& message) {
    ClearReport();
    ClearLog();
    SiteName.clear();
    RejectedCount = 0;
    ClearTable();
    ClearSiteTree();
    SetPeriodAfterLoad();
    ResetMemo3();
    Caption = kProgramTitle;
    LoadError = message;
    platform_.ShowMessage(LoadError);
    RunAnalysis();
    StatusText.clear();
  };

  try {
    LoadError.clear();
    // A file that is no log at all is refused before the loaded log is touched.
    LogPieceReader reader;
    const LogPieceReader::OpenResult opened = reader.Open(path);
    if (opened == LogPieceReader::OpenResult::kNotRegularFile ||
        opened == LogPieceReader::OpenResult::kCompressed) {
      LoadError = opened == LogPieceReader::OpenResult::kCompressed
                      ? FormatText(Lang.GetOr("mes6", "%s is a compressed file. Unpack it and open "
                                                      "the unpacked log."),
                                   {path})
                      : FormatText(Lang.GetOr("mes7", "%s is not a regular file and cannot be "
                                                      "opened as a log."),
                                   {path});
      platform_.ShowMessage(LoadError);
      return;
    }

    // The last report's rows and selection point into the records about to be freed.
    ClearReport();
    ClearLog();
    RejectedCount = 0;

    UrlPool = std::make_unique<StringPool>();
    ReferrerPool = std::make_unique<StringPool>();
    UserAgentPool = std::make_unique<StringPool>();
    const std::string crawler_path = platform_.ExeFolder() + kCrawlerFileName;
    std::string reason;
    if (!LoadCrawlerList(crawler_path, *UserAgentPool, Crawlers, reason)) {
      drop_log(FormatText(Lang.GetOr("mes5", "Could not open %s: %s"), {crawler_path, reason}));
      return;
    }
    CrawlerCount = static_cast<std::int32_t>(Crawlers.size());
    SearchPhrasePool = std::make_unique<StringPool>();
    ReferrerDomainPool = std::make_unique<StringPool>();
    Ipv6Addresses = std::make_unique<Ipv6AddressTable>();

    ClearTable();
    ClearSiteTree();

    const CalendarDate today = platform_.Today();
    for (DatePicker* picker : {&DateTimePicker1, &DateTimePicker2}) {
      picker->Enabled = false;
      picker->HasMinDate = false;
      picker->MaxDate = AddDays(today, kPickerDaysAhead);
      picker->Date = today;
    }

    SiteName.clear();
    RequestFilter = 1;
    CheckReportButton(1);
    CheckRequestButton(1);
    const std::string progress_format = Lang.Get("mes0");

    auto records = std::make_unique<RecordArray>();
    std::string closing_note;  // a line added to the closing message
    if (opened == LogPieceReader::OpenResult::kOpened) {
      SiteName = DeriveSiteName(path);
      const std::string reject_path = path + ".err";
      DeleteRejectFile(reject_path);
      RejectFile rejects(reject_path);

      ParseContext ctx;
      ctx.UrlPool = UrlPool.get();
      ctx.ReferrerPool = ReferrerPool.get();
      ctx.UserAgentPool = UserAgentPool.get();
      ctx.SearchPhrasePool = SearchPhrasePool.get();
      ctx.ReferrerDomainPool = ReferrerDomainPool.get();
      ctx.Ipv6Addresses = Ipv6Addresses.get();
      ctx.Crawlers = &Crawlers;
      ctx.SiteName = SiteName;
      ctx.Engines = &Engines;

      int shown_percent = LoadPercent(0, reader.Size());
      StatusText = FormatText(progress_format, {path, shown_percent, FormatArg::Char('%')});
      platform_.ProcessPaint();
      std::uint32_t pieces_to_clock_check = kPiecesPerClockCheck;
      auto last_paint = std::chrono::steady_clock::now();
      std::string_view piece;
      while (reader.Next(piece)) {
        // The parser reads a piece up to its first zero byte; the reject file
        // gets the whole piece as read.
        LogRecord* slot = records->NextSlot();
        if (piece.front() != '\0' && ParseLogLine(ctx, piece, slot)) {
          records->Commit();
        } else {
          ++RejectedCount;
          rejects.Write(piece);
        }

        const int percent = LoadPercent(reader.Position(), reader.Size());
        if (percent != shown_percent) {
          shown_percent = percent;
          StatusText = FormatText(progress_format, {path, percent, FormatArg::Char('%')});
        }
        if (--pieces_to_clock_check == 0) {
          pieces_to_clock_check = kPiecesPerClockCheck;
          const auto now = std::chrono::steady_clock::now();
          if (now - last_paint >= kPaintInterval) {
            last_paint = now;
            platform_.ProcessPaint();
          }
        }
      }
      rejects.Close();
      if (rejects.error() != 0) {
        closing_note = FormatText(
            Lang.GetOr("mes8", "The rejected lines could not be written to %s: %s"),
            {rejects.path(), std::strerror(rejects.error())});
      }
    }
    // Even a log that gave no record counts as loaded: the tree then shows its root.
    Records = std::move(records);
    RecordCount = Records->Count();

    Memo3.clear();
    Memo3.push_back("  Log: " + std::string(FileNameOf(path)));
    Memo3.push_back("  " + Lang.Get("id0") + std::to_string(RecordCount));
    Memo3.push_back("  " + Lang.Get("id1") + std::to_string(RejectedCount));
    Caption = kProgramTitle;

    if (RecordCount > 0) {
      FirstTime = (*Records)[0]->LogTime;
      LastTime = (*Records)[RecordCount - 1]->LogTime;
      Memo3.push_back("  " + Lang.Get("id2") +
                      FormatText("%2.2d.%2.2d.%4d - %2.2d.%2.2d.%4d",
                                 {LogDay(FirstTime), LogMonth(FirstTime), LogYear(FirstTime),
                                  LogDay(LastTime), LogMonth(LastTime), LogYear(LastTime)}));

      Caption = path + " - " + kProgramTitle;
    }

    SetPeriodAfterLoad();

    std::string message;
    if (opened == LogPieceReader::OpenResult::kCannotOpen) {
      // Loads like an empty log, but says why nothing was read.
      message = FormatText(Lang.GetOr("mes5", "Could not open %s: %s"),
                           {path, std::strerror(reader.OpenError())});
      LoadError = message;
    } else if (RecordCount < 1) {
      message = Lang.Get("mes1");
    } else {
      // One format made of both texts, so the whole message stops at 1023 characters.
      message = FormatText(Lang.Get("mes2") + "\n" + Lang.Get("mes3"), {RejectedCount});
    }
    if (!closing_note.empty()) message += "\n" + closing_note;
    platform_.ShowMessage(message);

    BuildSiteTree();
    RunAnalysis();
    StatusText.clear();
  } catch (const std::bad_alloc&) {
    // Unwinding has freed what this load held; the log is closed and the
    // program goes on, so the next load can work.
    try {
      drop_log(Lang.GetOr("mes9",
                          "There is not enough memory to load the whole log. The log has been closed."));
    } catch (const std::bad_alloc&) {
      // Too little memory even to say so: drop everything that points into the
      // log, without a step that allocates (labels owned by rows may leak).
      Selected = {};
      SelectedCount = 0;
      ClearTable();
      CARRAY_Free(Rows);
      ClearSiteTree();
      ClearLog();
      StatusText.clear();
    }
  }
}

void TSDIAppForm::ClearLog() {
  Records.reset();
  RecordCount = 0;
  UrlPool.reset();
  ReferrerPool.reset();
  UserAgentPool.reset();
  SearchPhrasePool.reset();
  ReferrerDomainPool.reset();
  Ipv6Addresses.reset();
  Crawlers = {};
  CrawlerCount = 0;
}

std::string TSDIAppForm::DeriveSiteName(const std::string& path) {
  std::string name(FileNameOf(path));
  LowerInPlace(name.data(), name.size());
  // Positions count from 1, as name[i - 1].
  const std::size_t n = name.size();
  std::size_t i = n;
  while (i > 1 && name[i - 1] != '.') --i;
  ++i;
  while (i < n && name[i - 1] >= 'a' && name[i - 1] <= 'z') ++i;
  if (i < n) --i;
  return name.substr(0, std::min(i, n));
}

}  // namespace tw
