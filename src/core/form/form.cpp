#include "form/form.h"

#include "analysis/report_kinds.h"
#include "base/cp1251.h"
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
  // Design state of the controls that the language texts don't replace.
  ReportButtons.resize(kReportKindCount);
  ReportButtons[0].Checked = true;
  RadioButton14.Checked = true;
  CheckBox1.Checked = true;
  Edit1.Caption = "&Edit";
  Edit1.Visible = false;
  Settings1.Visible = false;
  Button2.Enabled = false;

  const CalendarDate today = platform_.Today();
  for (DatePicker* picker : {&DateTimePicker1, &DateTimePicker2}) {
    picker->Date = today;
    picker->MaxDate = today;
  }
  ComboBox1.Enabled = false;

  ShowGeoButtons();
  StringGrid1.Show(&session_.Report());
  Label8.Caption.clear();
  ApplyLanguage();
  Memo3 = session_.InformationLines();
  Caption = kProgramTitle;
  RunAnalysis();
}

TSDIAppForm::~TSDIAppForm() { FormDestroy(); }

void TSDIAppForm::FormDestroy() {
  ClearReport();
  ClearLog();
}

void TSDIAppForm::ApplyLanguage() {
  struct Item {
    Control TSDIAppForm::*control;
    const char* id;
  };
  static constexpr Item kTexts[] = {
      // menus
      {&TSDIAppForm::File1, "m1"},
      {&TSDIAppForm::FileOpenItem, "m11"},
      {&TSDIAppForm::FileSaveItem, "m12"},
      {&TSDIAppForm::FileExitItem, "m13"},
      {&TSDIAppForm::Settings1, "m3"},
      {&TSDIAppForm::Change1, "m31"},
      {&TSDIAppForm::Help1, "m4"},
      {&TSDIAppForm::Help2, "m41"},
      {&TSDIAppForm::HomePage1, "m42"},
      {&TSDIAppForm::HelpAboutItem, "m44"},
      // controls
      {&TSDIAppForm::GroupBox3, "0"},
      {&TSDIAppForm::Label1, "1"},
      {&TSDIAppForm::Label2, "5"},
      {&TSDIAppForm::Label5, "8"},
      {&TSDIAppForm::Label6, "13"},
      {&TSDIAppForm::GroupBox6, "19"},
      {&TSDIAppForm::RadioButton14, "20"},
      {&TSDIAppForm::RadioButton15, "21"},
      {&TSDIAppForm::RadioButton16, "22"},
      {&TSDIAppForm::CheckBox1, "23"},
      {&TSDIAppForm::GroupBox1, "24"},
      {&TSDIAppForm::Button1, "25"},
      {&TSDIAppForm::Label7, "26"},
      {&TSDIAppForm::GroupBox5, "27"},
      {&TSDIAppForm::Button2, "28"},
      {&TSDIAppForm::GroupBox4, "stat0"},
  };
  for (const Item& item : kTexts) (this->*item.control).Caption = Lang.Get(item.id);
  for (const ReportKindInfo& kind : kReportKinds) ReportButton(kind).Caption = Lang.Get(kind.ButtonTextId);
  GroupBox2.Caption = Lang.GetOr("period0", " Period ");
  Label3.Caption = Lang.GetOr("period1", "from:");
  Label4.Caption = Lang.GetOr("period2", "to:");
  SetCommaText(StringGrid2.Header, Lang.Get("RAW_LOG_HEADER"));
}

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

Control& TSDIAppForm::ReportButton(const ReportKindInfo& kind) {
  return ReportButtons[ReportKindIndex(kind)];
}

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
