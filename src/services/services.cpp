// Service start-type profiles (按钮6 "执行") and starting selected services
// (按钮7 "执行") on the settings page "XP优化".
#include "services/services.h"

#include <iterator>
#include <string_view>
#include <vector>

#include "platform/command_outcome.h"
#include "platform/platform.h"
#include "platform/registry_backup.h"

namespace lumeno {
namespace {

using namespace settings_controls;

// ---------------------------------------------------------------------------
// Service profiles

// A cell of the service table: the mode word exactly as the profile writes it,
// or kNoLine where the profile has no command line for that service.
constexpr const char* kNoLine = nullptr;

enum ProfileColumn { kMinimal, kInternetCafe, kOffice, kNotebook, kXpDefault, kProfileColumns };

struct ServiceRow {
  const char* service;
  const char* mode[kProfileColumns];
};

// The rows stand in the order the command lines run.
static const ServiceRow kServiceRows[] = {
    //                                    最精简模式   网吧模式    办公模式    笔记本模式  XP默认
    {"Alerter",                        {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DISABLED"}},
    {"ALG",                            {"DISABLED", "DISABLED", "DISABLED", "AUTO",     "DEMAND"}},
    {"AppMgmt",                        {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"AudioSrv",                       {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"BITS",                           {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"Browser",                        {"DISABLED", "AUTO",     "DISABLED", "AUTO",     "AUTO"}},
    {"CiSvc",                          {"DISABLED", "DISABLED", "DEMAND",   "DISABLED", "DEMAND"}},
    {"ClipSrv",                        {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DISABLED"}},
    {"COMSysApp",                      {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"CryptSvc",                       {"DEMAND",   "AUTO",     "DEMAND",   "AUTO",     "AUTO"}},
    {"DcomLaunch",                     {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"Dhcp",                           {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"dmadmin",                        {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"dmserver",                       {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "AUTO"}},
    {"Dnscache",                       {"DISABLED", "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"ERSvc",                          {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "AUTO"}},
    {"Eventlog",                       {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"EventSystem",                    {"AUTO",     "AUTO",     "DISABLED", "AUTO",     "DEMAND"}},
    {"FastUserSwitchingCompatibility", {"DEMAND",   "DEMAND",   "DISABLED", "DEMAND",   "DEMAND"}},
    {"helpsvc",                        {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "AUTO"}},
    {"HidServ",                        {"DISABLED", "AUTO",     "DISABLED", "AUTO",     "DISABLED"}},
    {"HTTPFilter",                     {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"ImapiService",                   {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DEMAND"}},
    {"lanmanserver",                   {"DISABLED", "AUTO",     "DISABLED", "AUTO",     "AUTO"}},
    {"lanmanworkstation",              {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"LmHosts",                        {"DISABLED", "AUTO",     "DEMAND",   "AUTO",     "AUTO"}},
    {"Messenger",                      {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DISABLED"}},
    {"mnmsrvc",                        {"DEMAND",   "DEMAND",   "DISABLED", "DEMAND",   "DEMAND"}},
    {"MSDTC",                          {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"MSIServer",                      {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"NetDDE",                         {"DISABLED", "DISABLED", "DEMAND",   "DISABLED", "DISABLED"}},
    {"NetDDEdsdm",                     {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DISABLED"}},
    {"Netlogon",                       {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"Netman",                         {"DEMAND",   "AUTO",     "DEMAND",   "AUTO",     "DEMAND"}},
    {"Nla",                            {"DISABLED", "DISABLED", "DISABLED", "AUTO",     "DEMAND"}},
    {"NtLmSsp",                        {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"NtmsSvc",                        {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"ose",                            {"DEMAND",   "DEMAND",   kNoLine,    "DEMAND",   kNoLine}},
    {"NVSvc",                          {kNoLine,    kNoLine,    "DEMAND",   kNoLine,    kNoLine}},
    {"PlugPlay",                       {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"PolicyAgent",                    {"DISABLED", "DISABLED", "DEMAND",   "AUTO",     "AUTO"}},
    {"ProtectedStorage",               {"AUTO",     "AUTO",     "DEMAND",   "AUTO",     "AUTO"}},
    {"RasAuto",                        {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"RasMan",                         {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"RDSessMgr",                      {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"RemoteAccess",                   {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DISABLED"}},
    {"RemoteRegistry",                 {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "AUTO"}},
    {"RpcLocator",                     {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"RpcSs",                          {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"RSVP",                           {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"SamSs",                          {"AUTO",     "AUTO",     "DEMAND",   "AUTO",     "AUTO"}},
    {"SCardSvr",                       {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"Schedule",                       {"DISABLED", "DISABLED", "DEMAND",   "DISABLED", "AUTO"}},
    {"seclogon",                       {"disabled", "AUTO",     "DEMAND",   "AUTO",     "AUTO"}},
    {"SENS",                           {"AUTO",     "AUTO",     "DISABLED", "AUTO",     "AUTO"}},
    {"SharedAccess",                   {"DISABLED", "DISABLED", "DEMAND",   "AUTO",     "AUTO"}},
    {"ShellHWDetection",               {"disabled", "AUTO",     "DISABLED", "AUTO",     "AUTO"}},
    {"Spooler",                        {"DISABLED", "DISABLED", "DISABLED", "AUTO",     "AUTO"}},
    {"srservice",                      {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DISABLED"}},
    {"SSDPSRV",                        {"DISABLED", "DISABLED", "DEMAND",   "AUTO",     "DEMAND"}},
    {"stisvc",                         {"DEMAND",   "AUTO",     "DEMAND",   "AUTO",     "DEMAND"}},
    {"SwPrv",                          {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"SysmonLog",                      {"DEMAND",   "DEMAND",   "DISABLED", "DEMAND",   "DEMAND"}},
    {"TapiSrv",                        {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"TermService",                    {"DISABLED", "DISABLED", "DISABLED", "AUTO",     "DEMAND"}},
    {"Themes",                         {"DISABLED", "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"TlntSvr",                        {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "DISABLED"}},
    {"TrkWks",                         {"DISABLED", "AUTO",     "DISABLED", "AUTO",     "AUTO"}},
    {"UMWdf",                          {"DEMAND",   "AUTO",     "DEMAND",   "AUTO",     "DEMAND"}},
    {"upnphost",                       {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"UPS",                            {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"VSS",                            {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"W32Time",                        {"DISABLED", "DISABLED", "DEMAND",   "DISABLED", "AUTO"}},
    {"WebClient",                      {"DISABLED", "DISABLED", "DEMAND",   "AUTO",     "AUTO"}},
    {"winmgmt",                        {"AUTO",     "AUTO",     "AUTO",     "AUTO",     "AUTO"}},
    {"WMConnectCDS",                   {"DEMAND",   "DEMAND",   kNoLine,    "DEMAND",   kNoLine}},
    {"WmdmPmSN",                       {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"Wmi",                            {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"WmiApSrv",                       {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
    {"wscsvc",                         {"DISABLED", "DISABLED", "DISABLED", "DISABLED", "AUTO"}},
    {"wuauserv",                       {"DISABLED", "DISABLED", "DISABLED", "AUTO",     "AUTO"}},
    {"WZCSVC",                         {"DISABLED", "DISABLED", "DISABLED", "AUTO",     "AUTO"}},
    {"xmlprov",                        {"DEMAND",   "DEMAND",   "DEMAND",   "DEMAND",   "DEMAND"}},
};

// Lines of a profile whose trailing blanks differ from the profile's usual ones.
struct TrailingBlanksException {
  const char* service;
  const char* trailing_blanks;
};

static const TrailingBlanksException kMinimalTrailingBlanks[] = {
    {"LmHosts", ""},
    {"Netman", ""},
    {"stisvc", ""},
    {"TrkWks", "  "},
    {"xmlprov", ""},
};

struct ServiceProfile {
  const char* caption;
  ControlId radio;
  ProfileColumn column;
  const char* first_line;  // run before the table's lines, or nullptr
  const char* trailing_blanks;
  const TrailingBlanksException* exceptions;
  size_t exception_count;
};

// In the order the radio buttons are read; the first selected one wins.
static const ServiceProfile kServiceProfiles[] = {
    {"最精简模式", kMinimalRadio, kMinimal, nullptr, " ", kMinimalTrailingBlanks,
     std::size(kMinimalTrailingBlanks)},
    {"办公模式", kOfficeRadio, kOffice, "sc config   AppMgmt start= DEMAND", "", nullptr, 0},
    {"笔记本模式", kNotebookRadio, kNotebook, nullptr, " ", nullptr, 0},
    {"网吧模式", kCafeRadio, kInternetCafe, nullptr, " ", nullptr, 0},
    {"XP默认", kXpDefaultRadio, kXpDefault, nullptr, " ", nullptr, 0},
};

const char* TrailingBlanksFor(const ServiceProfile& profile, std::string_view service) {
  for (size_t i = 0; i < profile.exception_count; ++i)
    if (service == profile.exceptions[i].service) return profile.exceptions[i].trailing_blanks;
  return profile.trailing_blanks;
}

std::vector<Text> CommandLinesOf(const ServiceProfile& profile) {
  std::vector<Text> lines;
  if (profile.first_line) lines.emplace_back(profile.first_line);
  for (const ServiceRow& row : kServiceRows) {
    const char* mode = row.mode[profile.column];
    if (mode == kNoLine) continue;
    lines.push_back(ConcatTexts("sc config   ", row.service, " start= ", mode, TrailingBlanksFor(profile, row.service)));
  }
  return lines;
}

const ServiceProfile* SelectedProfile() {
  for (const ServiceProfile& profile : kServiceProfiles)
    if (IsTicked(kSettingsWindow, profile.radio)) return &profile;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Optional services, in the order they are started (not their screen order)

struct OptionalService {
  const char* caption;
  ControlId check_box;
  const char* set_automatic;
  const char* start_now;
};

static const OptionalService kOptionalServices[] = {
    {"UPNP设备支持", kUpnpBox, "sc config   upnphost start= auto ", "net start upnphost"},
    {"开启打印服务", kSpoolerBox, "sc config   spooler start= auto ", "net start spooler"},
    {"硬件播放服务", kHardwarePlaybackBox, "sc config   ShellHWDetection start= auto ", "net start ShellHWDetection"},
    {"无线网卡支持", kWirelessBox, "sc config   WZCSVC start= auto ", "net start WZCSVC"},
};

}  // namespace

// A failing line never stops the profile: the rest is still applied, and the
// report names every service whose line failed. A service this system does
// not have (ose, NVSvc) is no failure.
void ApplyServiceProfile() {
  const ServiceProfile* profile = SelectedProfile();
  if (!profile) {
    ShowMessageBox("请选择服务优化项目上执行！", kStyleStop);
    return;
  }
  const std::vector<Text> lines = CommandLinesOf(*profile);
  Outcome outcome("服务优化");
  NoteBackup(BackupBeforeChanges("服务优化", ServiceStartChangesOf(lines)), outcome);
  for (const Text& line : lines) RunJudged(line, outcome);
  outcome.Report("服务优化完毕！");
}

// The boxes are read once, before the restore file is written, so that it
// holds every start type the run changes.
void StartSelectedServices() {
  std::vector<const OptionalService*> ticked;
  std::vector<Text> sc_lines;
  for (const OptionalService& service : kOptionalServices) {
    if (!IsTicked(kSettingsWindow, service.check_box)) continue;
    ticked.push_back(&service);
    sc_lines.emplace_back(service.set_automatic);
  }
  Outcome outcome("服务启动");
  NoteBackup(BackupBeforeChanges("启动服务", ServiceStartChangesOf(sc_lines)), outcome);
  for (const OptionalService* service : ticked) {
    RunJudged(service->set_automatic, outcome);
    RunJudged(service->start_now, outcome);
  }
  if (!ticked.empty())
    outcome.Report("所选项目服务启动完毕！");
  else
    ShowMessageBox("请先选择欲启动项目！", kStyleStop);
}

}  // namespace lumeno
