#include "form/form.h"

#include "analysis/report_kinds.h"
#include "base/delimited.h"
#include "form/file_address.h"
#include "form/version.h"

namespace tw {

TSDIAppForm::TSDIAppForm(Platform& platform)
    : platform_(platform),
      session_(platform.ExeFolder()),
      Lang(session_.Lang()),
      Engines(session_.Engines()),
      FormatChoice(session_.format),
      KeepReferrers(session_.keep_referrers) {
  const CalendarDate today = platform_.Today();
  for (DatePicker* picker : {&DateTimePicker1, &DateTimePicker2}) {
    picker->Date = today;
    picker->MaxDate = today;
  }

  ShowGeoButtons();
  StringGrid1.Show(&session_.Report());
  Label8.Caption.clear();
  ApplyLanguage();
  ShowLogInView(session_, view);
  RunAnalysis();
}

TSDIAppForm::~TSDIAppForm() { FormDestroy(); }

void TSDIAppForm::FormDestroy() {
  ClearReport();
  ClearLog();
}

void TSDIAppForm::ApplyLanguage() { ShowLanguageInView(Lang, view); }

const RecordArray* TSDIAppForm::Records() const {
  return Log() != nullptr ? Log()->records.get() : nullptr;
}

LogTime TSDIAppForm::FirstTime() const {
  return RecordCount() > 0 ? (*Records())[0]->LogTime : 0;
}

LogTime TSDIAppForm::LastTime() const {
  return RecordCount() > 0 ? (*Records())[RecordCount() - 1]->LogTime : 0;
}

namespace {

const StringPool* PoolOf(const LoadedLog* log, std::unique_ptr<StringPool> LoadedLog::*pool) {
  return log != nullptr ? (log->*pool).get() : nullptr;
}

}  // namespace

const StringPool* TSDIAppForm::UrlPool() const { return PoolOf(Log(), &LoadedLog::url_pool); }
const StringPool* TSDIAppForm::ReferrerPool() const {
  return PoolOf(Log(), &LoadedLog::referrer_pool);
}
const StringPool* TSDIAppForm::UserAgentPool() const {
  return PoolOf(Log(), &LoadedLog::user_agent_pool);
}
const StringPool* TSDIAppForm::SearchPhrasePool() const {
  return PoolOf(Log(), &LoadedLog::search_phrase_pool);
}
const StringPool* TSDIAppForm::ReferrerDomainPool() const {
  return PoolOf(Log(), &LoadedLog::referrer_domain_pool);
}

const Ipv6AddressTable* TSDIAppForm::Ipv6Addresses() const {
  return Log() != nullptr ? Log()->ipv6_addresses.get() : nullptr;
}

const std::vector<const char*>& TSDIAppForm::Crawlers() const {
  static const std::vector<const char*> kNone;
  return Log() != nullptr ? Log()->crawlers : kNone;
}

const std::string& TSDIAppForm::SiteName() const {
  static const std::string kNone;
  return Log() != nullptr ? Log()->site_name : kNone;
}

std::int64_t TSDIAppForm::RejectedCount() const { return Log() != nullptr ? Log()->rejected : 0; }

const std::vector<LoadedFile>& TSDIAppForm::LoadedFiles() const {
  static const std::vector<LoadedFile> kNone;
  return Log() != nullptr ? Log()->files : kNone;
}

void TSDIAppForm::FileOpen1Execute() {
  std::vector<std::string> paths;
  if (platform_.AskOpenPaths(paths) && !paths.empty()) LoadLogs(paths);
}

void TSDIAppForm::Help2Click() {
  platform_.OpenLink(FileAddress(platform_.ExeFolder() + kHelpFileName));
}
void TSDIAppForm::HomePage1Click() { platform_.OpenLink(kHomeAddress); }
void TSDIAppForm::Button1Click() { RunAnalysis(); }

Control& TSDIAppForm::ReportButton(const ReportKindInfo& kind) { return view.ReportButton(kind); }

void TSDIAppForm::CheckReportButton(const ReportKindInfo* kind) {
  for (const ReportKindInfo& info : kReportKinds) ReportButton(info).Checked = &info == kind;
}

void TSDIAppForm::CheckRequestButton(int filter) {
  RadioButton14.Checked = filter == 1;
  RadioButton15.Checked = filter == 2;
  RadioButton16.Checked = filter == 3;
}

std::string TSDIAppForm::AboutVersionLine() {
  std::array<int, 4> parts{};
  if (!ReadFileVersion(parts)) return "Version 1.0.3.30";
  std::string line = "Version: ";
  for (int part : parts) line += std::to_string(part) + ".";
  return line;
}

}  // namespace tw
