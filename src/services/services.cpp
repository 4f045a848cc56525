// Service start-type profiles (按钮6 "执行") and starting selected services
// (按钮7 "执行") on the settings page "XP优化".
#include "services/services.h"

#include <iterator>
#include <string_view>
#include <vector>

#include "plan/command.h"
#include "platform/platform.h"
#include "ui/control_ids.h"

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

// The start types sc's mode words stand for, whatever their case; 0 for a
// word sc does not know.
uint32_t StartTypeOf(std::string_view mode_word) {
  const Text mode = FoldAsciiCase(mode_word);
  if (mode == "auto") return 2;
  if (mode == "demand") return 3;
  if (mode == "disabled") return 4;
  return 0;
}

const ServiceProfile* SelectedProfile(const Selection& selection) {
  for (const ServiceProfile& profile : kServiceProfiles)
    if (selection.Ticked(kSettingsWindow, profile.radio)) return &profile;
  return nullptr;
}

// Office's first line starts the profile with AppMgmt, which its table row
// sets again further down.
constexpr const char* kOfficeFirstService = "AppMgmt";
constexpr const char* kOfficeFirstMode = "DEMAND";

// ---------------------------------------------------------------------------
// Optional services, in the order they are started (not their screen order)

struct OptionalService {
  const char* caption;
  ControlId check_box;
  const char* service;
  const char* set_automatic;
  const char* start_now;
};

static const OptionalService kOptionalServices[] = {
    {"UPNP设备支持", kUpnpBox, "upnphost", "sc config   upnphost start= auto ", "net start upnphost"},
    {"开启打印服务", kSpoolerBox, "spooler", "sc config   spooler start= auto ", "net start spooler"},
    {"硬件播放服务", kHardwarePlaybackBox, "ShellHWDetection", "sc config   ShellHWDetection start= auto ",
     "net start ShellHWDetection"},
    {"无线网卡支持", kWirelessBox, "WZCSVC", "sc config   WZCSVC start= auto ", "net start WZCSVC"},
};

// A failing line never stops the profile: the rest is still applied, and the
// report names every service whose line failed. A service this system does
// not have (ose, NVSvc) is no failure.
Plan PlanServiceProfile(const Selection& selection) {
  const ServiceProfile* profile = SelectedProfile(selection);
  if (!profile) return RefusedPlan("请选择服务优化项目上执行！");
  PlanBuilder plan;
  if (profile->first_line)
    plan.SetServiceStart(profile->first_line, kOfficeFirstService, StartTypeOf(kOfficeFirstMode));
  for (const ServiceRow& row : kServiceRows) {
    const char* mode = row.mode[profile->column];
    if (mode == kNoLine) continue;
    plan.SetServiceStart(ConcatTexts("sc config   ", row.service, " start= ", mode, TrailingBlanksFor(*profile, row.service)),
                         row.service, StartTypeOf(mode));
  }
  return plan.Finish();
}

// The boxes are read once, before the restore file is written, so that it
// holds every start type the run changes. Each service is set to start by
// itself and then started.
Plan PlanStartingServices(const Selection& selection) {
  PlanBuilder plan;
  for (const OptionalService& service : kOptionalServices) {
    if (!selection.Ticked(kSettingsWindow, service.check_box)) continue;
    plan.SetServiceStart(service.set_automatic, service.service, StartTypeOf("auto"));
    plan.RunCommand(service.start_now, CommandCheck::kServiceRunning, service.service);
  }
  if (plan.plan().steps.empty()) return RefusedPlan("请先选择欲启动项目！");
  return plan.Finish();
}

}  // namespace

const Command kServiceProfileCommand = {"服务优化", "服务优化", "服务优化完毕！", kDefaultMessageTitle,
                                        PlanServiceProfile};
const Command kStartServicesCommand = {"服务启动", "启动服务", "所选项目服务启动完毕！", kDefaultMessageTitle,
                                       PlanStartingServices};

void ApplyServiceProfile() { RunCommandInWindow(kServiceProfileCommand); }

void StartSelectedServices() { RunCommandInWindow(kStartServicesCommand); }

}  // namespace lumeno
