#include "utilities/broadband.h"

#include <cstdint>
#include <vector>

#include "plan/command.h"
#include "platform/platform.h"
#include "utilities/phonebook.h"

namespace lumeno {

const char kBroadbandPhonebookPath[] =
    "C:\\Documents and Settings\\All Users\\Application Data\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
const char kBroadbandShortcutPath[] = "C:\\Documents and Settings\\All Users\\桌面\\宽带连接.lnk";

namespace {

// ---------------------------------------------------------------------------
// The phone-book entry. The phone book is UTF-8 (the entry says Encoding=1),
// so every line is a u8 literal: a plain literal would come out as GBK.

const char8_t* const kPhonebookLines[] = {
    u8"",
    u8"[宽带连接]",
    u8"Encoding=1",
    u8"Type=5",
    u8"AutoLogon=0",
    u8"UseRasCredentials=0",
    u8"DialParamsUID=4604961",
    u8"Guid=422A3947B678F54C90CBD441B47A13E3",
    u8"BaseProtocol=1",
    u8"VpnStrategy=0",
    u8"ExcludedProtocols=3",
    u8"LcpExtensions=1",
    u8"DataEncryption=8",
    u8"SwCompression=1",
    u8"NegotiateMultilinkAlways=0",
    u8"SkipNwcWarning=0",
    u8"SkipDownLevelDialog=0",
    u8"SkipDoubleDialDialog=0",
    u8"DialMode=1",
    u8"DialPercent=75",
    u8"DialSeconds=120",
    u8"HangUpPercent=10",
    u8"HangUpSeconds=120",
    u8"OverridePref=15",
    u8"RedialAttempts=3",
    u8"RedialSeconds=60",
    u8"IdleDisconnectSeconds=0",
    u8"RedialOnLinkFailure=1",
    u8"CallbackMode=0",
    u8"CustomDialDll=",
    u8"CustomDialFunc=",
    u8"CustomRasDialDll=",
    u8"AuthenticateServer=0",
    u8"ShareMsFilePrint=0",
    u8"BindMsNetClient=0",
    u8"SharedPhoneNumbers=0",
    u8"GlobalDeviceSettings=0",
    u8"PrerequisiteEntry=",
    u8"PrerequisitePbk=",
    u8"PreferredPort=",
    u8"PreferredDevice=",
    u8"PreferredBps=0",
    u8"PreferredHwFlow=0",
    u8"PreferredProtocol=0",
    u8"PreferredCompression=0",
    u8"PreferredSpeaker=0",
    u8"PreferredMdmProtocol=0",
    u8"PreviewUserPw=1",
    u8"PreviewDomain=0",
    u8"PreviewPhoneNumber=0",
    u8"ShowDialingProgress=1",
    u8"ShowMonitorIconInTaskBar=1",
    u8"CustomAuthKey=-1",
    u8"AuthRestrictions=632",
    u8"TypicalAuth=1",
    u8"IpPrioritizeRemote=1",
    u8"IpHeaderCompression=0",
    u8"IpAddress=0.0.0.0",
    u8"IpDnsAddress=0.0.0.0",
    u8"IpDns2Address=0.0.0.0",
    u8"IpWinsAddress=0.0.0.0",
    u8"IpWins2Address=0.0.0.0",
    u8"IpAssign=1",
    u8"IpNameAssign=1",
    u8"IpFrameSize=1006",
    u8"IpDnsFlags=0",
    u8"IpNBTFlags=0",
    u8"TcpWindowSize=0",
    u8"UseFlags=1",
    u8"IpSecFlags=0",
    u8"IpDnsSuffix=",
    u8"",
    u8"NETCOMPONENTS=",
    u8"ms_server=0",
    u8"ms_msclient=0",
    u8"",
    u8"MEDIA=rastapi",
    u8"Port=PPPoE6-0",
    u8"Device=WAN 微型端口 (PPPOE)",
    u8"",
    u8"DEVICE=PPPoE",
    u8"PhoneNumber=",
    u8"AreaCode=",
    u8"CountryCode=1",
    u8"CountryID=1",
    u8"UseDialingRules=0",
    u8"Comment=",
    u8"LastSelectedPhone=0",
    u8"PromoteAlternates=0",
    u8"TryNextAlternateOnFail=1",
    u8"",
};

constexpr std::string_view kLineEnd = "\r\n";

std::string BuildPhonebookEntry() {
  std::string text(kUtf8ByteOrderMark);
  for (const char8_t* line : kPhonebookLines) {
    text.append(reinterpret_cast<const char*>(line));
    text.append(kLineEnd);
  }
  return text;
}

// ---------------------------------------------------------------------------
// The shortcut: a Shell Link whose target is the shell path My Computer,
// Control Panel, Network Connections, the connection. All integers are
// little-endian.

struct ClassId {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};

constexpr ClassId kShellLink{0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr ClassId kMyComputer{0x20D04FE0, 0x3AEA, 0x1069, {0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D}};
constexpr ClassId kControlPanel{0x21EC2020, 0x3AEA, 0x1069, {0xA2, 0xDD, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D}};
constexpr ClassId kNetworkConnections{0x7007ACC7, 0x3202, 0x11D1, {0xAA, 0xD2, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr ClassId kConnectionFolderItem{0xBA126AD7, 0x2166, 0x11D1, {0xB1, 0xD0, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
// The entry's identifier; the phone book's Guid= line is the same 16 bytes.
constexpr ClassId kEntryId{0x47392A42, 0x78B6, 0x4CF5, {0x90, 0xCB, 0xD4, 0x41, 0xB4, 0x7A, 0x13, 0xE3}};

constexpr char16_t kConnectionName[] = u"宽带连接";
constexpr char16_t kDeviceName[] = u"WAN 微型端口 (PPPOE)";

void PutByte(std::string& out, uint8_t value) { out.push_back(static_cast<char>(value)); }

void PutWord(std::string& out, uint32_t value) {
  PutByte(out, value & 0xFF);
  PutByte(out, (value >> 8) & 0xFF);
}

void PutDword(std::string& out, uint32_t value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

void PutZeros(std::string& out, size_t count) { out.append(count, '\0'); }

void PutClassId(std::string& out, const ClassId& id) {
  PutDword(out, id.data1);
  PutWord(out, id.data2);
  PutWord(out, id.data3);
  for (uint8_t b : id.data4) PutByte(out, b);
}

// UTF-16LE with the terminating zero.
template <size_t N>
void PutWideText(std::string& out, const char16_t (&text)[N]) {
  for (char16_t unit : text) PutWord(out, unit);
}

// The phone-book path is plain ASCII, so each byte widens to one UTF-16 unit.
void PutWidenedAscii(std::string& out, std::string_view text) {
  for (char c : text) PutWord(out, static_cast<unsigned char>(c));
  PutWord(out, 0);
}

std::string ShellLinkHeader() {
  std::string header;
  PutDword(header, 0x4C);  // HeaderSize
  PutClassId(header, kShellLink);
  PutDword(header, 0x81);  // HasLinkTargetIDList | IsUnicode
  PutDword(header, 0);     // FileAttributes
  PutZeros(header, 3 * 8);  // creation, access and write times
  PutDword(header, 0);     // FileSize
  PutDword(header, 0);     // IconIndex
  PutDword(header, 1);     // ShowCommand: SW_SHOWNORMAL
  PutWord(header, 0);      // HotKey
  PutZeros(header, 2 + 4 + 4);  // Reserved1..3
  return header;
}

// An item identifier: its size (counting the size field), then the content.
std::string ItemId(std::string_view content) {
  std::string item;
  PutWord(item, static_cast<uint32_t>(content.size() + 2));
  item.append(content);
  return item;
}

std::string ShellFolderItem(std::string_view prefix, size_t zeros, const ClassId& folder) {
  std::string content(prefix);
  PutZeros(content, zeros);
  PutClassId(content, folder);
  return ItemId(content);
}

std::string ConnectionItem() {
  std::string text;
  PutWideText(text, kConnectionName);
  const uint32_t name_size = static_cast<uint32_t>(text.size());
  PutWideText(text, kDeviceName);
  const uint32_t device_size = static_cast<uint32_t>(text.size()) - name_size;
  PutWord(text, 0x0014);
  PutWidenedAscii(text, kBroadbandPhonebookPath);
  PutClassId(text, kEntryId);
  PutDword(text, 1);
  PutDword(text, 5);
  PutDword(text, 0);

  std::string content;
  PutWord(content, 0x4EFF);
  PutDword(content, 2);
  content.append("\xFF\x5E\x69\x10", 4);
  PutDword(content, 0);
  PutClassId(content, kConnectionFolderItem);
  PutClassId(content, kEntryId);
  PutDword(content, 0x0000085F);
  PutDword(content, 6);
  PutDword(content, 0);
  PutDword(content, 44);
  PutDword(content, 224);
  PutDword(content, 0);  // the name's position in the text area
  PutDword(content, name_size);
  PutDword(content, name_size);  // the device name follows the name
  PutDword(content, device_size);
  PutDword(content, 0);
  PutDword(content, 268);
  PutDword(content, 2);
  content.append(text);
  return ItemId(content);
}

std::string LinkTargetIdList() {
  std::string items;
  items.append(ShellFolderItem("\x1F\x50", 0, kMyComputer));
  items.append(ShellFolderItem("\x2E\x1E", 0, kControlPanel));
  items.append(ShellFolderItem("\x71\x80", 10, kNetworkConnections));
  items.append(ConnectionItem());
  PutWord(items, 0);  // TerminalID

  std::string list;
  PutWord(list, static_cast<uint32_t>(items.size()));
  list.append(items);
  return list;
}

std::string BuildShortcut() {
  std::string link = ShellLinkHeader();
  link.append(LinkTargetIdList());
  PutDword(link, 0);  // TerminalBlock: no extra data
  return link;
}

constexpr char kTelephonyAutomatic[] = "sc config  TapiSrv start= auto";
constexpr uint32_t kAutomaticStart = 2;

// The phone book may hold the user's other connections: merge rather than
// overwrite, so that they survive. A phone book that is there but cannot be
// read is left alone: writing only our entry would lose the others, and
// without the entry the shortcut would open nothing, so it waits too. Both
// files are replaced whole (a new file moved over the old one), so a failure
// halfway leaves the old bytes as they were; the phone book as it was is
// kept beside the restore file when the merge changes it.
Plan PlanBroadbandEntry(const Selection&) {
  constexpr uint32_t kFileNotFound = 2, kPathNotFound = 3;
  constexpr int kFiles = 1;
  PlanBuilder plan;
  std::string existing;
  std::optional<std::string_view> current;
  uint32_t unreadable = 0;
  if (ReadBytesFromFile(kBroadbandPhonebookPath, &existing))
    current = existing;
  else if (uint32_t error = LastError(); error != kFileNotFound && error != kPathNotFound)
    unreadable = error;
  // Only an unreadable phone book holds the shortcut back; a phone book that
  // cannot be written leaves the shortcut to be made all the same.
  const int group = unreadable ? kFiles : 0;
  Step& phonebook = plan.WriteFile(kBroadbandPhonebookPath, unreadable ? std::string() : MergePhonebook(current),
                                   FileWriteMode::kReplace, group);
  if (unreadable) {
    phonebook.planning_error = unreadable;
    phonebook.failure_note = "；电话簿未更改";
  } else if (current) {
    phonebook.previous = std::string(*current);
    phonebook.backup_name = "rasphone.pbk";
  }
  plan.WriteFile(kBroadbandShortcutPath, BroadbandShortcut(), FileWriteMode::kReplace, group);
  plan.SetServiceStart(kTelephonyAutomatic, "TapiSrv", kAutomaticStart);
  plan.RunCommand("net start TapiSrv", CommandCheck::kServiceRunning, "TapiSrv");
  return plan.Finish();
}

}  // namespace

const std::string& BroadbandPhonebookEntry() {
  static const std::string entry = BuildPhonebookEntry();
  return entry;
}

std::string_view BroadbandPhonebookSection() {
  // The entry minus the byte-order mark and the empty line after it.
  return std::string_view(BroadbandPhonebookEntry()).substr(kUtf8ByteOrderMark.size() + kLineEnd.size());
}

const std::string& BroadbandShortcut() {
  static const std::string link = BuildShortcut();
  return link;
}

const Command kBroadbandCommand = {"宽带连接建立", "生成ADSL", "宽带连接已成功建立！", "提示", PlanBroadbandEntry};

void CreateBroadbandEntry() { RunCommandInWindow(kBroadbandCommand); }

}  // namespace lumeno
