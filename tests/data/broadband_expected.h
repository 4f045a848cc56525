// The broadband entry's two files as they must come out, written down
// independently of the code that builds them. Shared by the unit and the
// end-to-end tests.
#pragma once

#include <string>
#include <string_view>

namespace broadband_expected {

// The shortcut, byte for byte (offset, sixteen bytes).
inline constexpr std::string_view kShortcutDump = R"(
0000  4C 00 00 00 01 14 02 00 00 00 00 00 C0 00 00 00
0010  00 00 00 46 81 00 00 00 00 00 00 00 00 00 00 00
0020  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00
0030  00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00
0040  00 00 00 00 00 00 00 00 00 00 00 00 BA 01 14 00
0050  1F 50 E0 4F D0 20 EA 3A 69 10 A2 D8 08 00 2B 30
0060  30 9D 14 00 2E 1E 20 20 EC 21 EA 3A 69 10 A2 DD
0070  08 00 2B 30 30 9D 1E 00 71 80 00 00 00 00 00 00
0080  00 00 00 00 C7 AC 07 70 02 32 D1 11 AA D2 00 80
0090  5F C1 27 0E 72 01 FF 4E 02 00 00 00 FF 5E 69 10
00A0  00 00 00 00 D7 6A 12 BA 66 21 D1 11 B1 D0 00 80
00B0  5F C1 27 0E 42 2A 39 47 B6 78 F5 4C 90 CB D4 41
00C0  B4 7A 13 E3 5F 08 00 00 06 00 00 00 00 00 00 00
00D0  2C 00 00 00 E0 00 00 00 00 00 00 00 0A 00 00 00
00E0  0A 00 00 00 22 00 00 00 00 00 00 00 0C 01 00 00
00F0  02 00 00 00 BD 5B 26 5E DE 8F A5 63 00 00 57 00
0100  41 00 4E 00 20 00 AE 5F 8B 57 EF 7A E3 53 20 00
0110  28 00 50 00 50 00 50 00 4F 00 45 00 29 00 00 00
0120  14 00 43 00 3A 00 5C 00 44 00 6F 00 63 00 75 00
0130  6D 00 65 00 6E 00 74 00 73 00 20 00 61 00 6E 00
0140  64 00 20 00 53 00 65 00 74 00 74 00 69 00 6E 00
0150  67 00 73 00 5C 00 41 00 6C 00 6C 00 20 00 55 00
0160  73 00 65 00 72 00 73 00 5C 00 41 00 70 00 70 00
0170  6C 00 69 00 63 00 61 00 74 00 69 00 6F 00 6E 00
0180  20 00 44 00 61 00 74 00 61 00 5C 00 4D 00 69 00
0190  63 00 72 00 6F 00 73 00 6F 00 66 00 74 00 5C 00
01A0  4E 00 65 00 74 00 77 00 6F 00 72 00 6B 00 5C 00
01B0  43 00 6F 00 6E 00 6E 00 65 00 63 00 74 00 69 00
01C0  6F 00 6E 00 73 00 5C 00 50 00 62 00 6B 00 5C 00
01D0  72 00 61 00 73 00 70 00 68 00 6F 00 6E 00 65 00
01E0  2E 00 70 00 62 00 6B 00 00 00 42 2A 39 47 B6 78
01F0  F5 4C 90 CB D4 41 B4 7A 13 E3 01 00 00 00 05 00
0200  00 00 00 00 00 00 00 00 00 00 00 00
)";

// The entry's lines as a reader sees them, LF-separated; the file adds the
// byte-order mark and an empty first line, and ends every line with CR LF.
inline constexpr std::u8string_view kPhonebookListing = u8R"([宽带连接]
Encoding=1
Type=5
AutoLogon=0
UseRasCredentials=0
DialParamsUID=4604961
Guid=422A3947B678F54C90CBD441B47A13E3
BaseProtocol=1
VpnStrategy=0
ExcludedProtocols=3
LcpExtensions=1
DataEncryption=8
SwCompression=1
NegotiateMultilinkAlways=0
SkipNwcWarning=0
SkipDownLevelDialog=0
SkipDoubleDialDialog=0
DialMode=1
DialPercent=75
DialSeconds=120
HangUpPercent=10
HangUpSeconds=120
OverridePref=15
RedialAttempts=3
RedialSeconds=60
IdleDisconnectSeconds=0
RedialOnLinkFailure=1
CallbackMode=0
CustomDialDll=
CustomDialFunc=
CustomRasDialDll=
AuthenticateServer=0
ShareMsFilePrint=0
BindMsNetClient=0
SharedPhoneNumbers=0
GlobalDeviceSettings=0
PrerequisiteEntry=
PrerequisitePbk=
PreferredPort=
PreferredDevice=
PreferredBps=0
PreferredHwFlow=0
PreferredProtocol=0
PreferredCompression=0
PreferredSpeaker=0
PreferredMdmProtocol=0
PreviewUserPw=1
PreviewDomain=0
PreviewPhoneNumber=0
ShowDialingProgress=1
ShowMonitorIconInTaskBar=1
CustomAuthKey=-1
AuthRestrictions=632
TypicalAuth=1
IpPrioritizeRemote=1
IpHeaderCompression=0
IpAddress=0.0.0.0
IpDnsAddress=0.0.0.0
IpDns2Address=0.0.0.0
IpWinsAddress=0.0.0.0
IpWins2Address=0.0.0.0
IpAssign=1
IpNameAssign=1
IpFrameSize=1006
IpDnsFlags=0
IpNBTFlags=0
TcpWindowSize=0
UseFlags=1
IpSecFlags=0
IpDnsSuffix=

NETCOMPONENTS=
ms_server=0
ms_msclient=0

MEDIA=rastapi
Port=PPPoE6-0
Device=WAN 微型端口 (PPPOE)

DEVICE=PPPoE
PhoneNumber=
AreaCode=
CountryCode=1
CountryID=1
UseDialingRules=0
Comment=
LastSelectedPhone=0
PromoteAlternates=0
TryNextAlternateOnFail=1

)";

// The bytes of a dump; empty when a line is malformed or out of order.
inline std::string ParseDump(std::string_view dump) {
  std::string bytes;
  size_t pos = 0;
  while (pos < dump.size()) {
    size_t end = dump.find('\n', pos);
    if (end == std::string_view::npos) end = dump.size();
    std::string_view line = dump.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) continue;
    if (line.size() < 9 || std::stoul(std::string(line.substr(0, 4)), nullptr, 16) != bytes.size()) return {};
    for (size_t i = 6; i + 2 <= line.size(); i += 3)
      bytes.push_back(static_cast<char>(std::stoul(std::string(line.substr(i, 2)), nullptr, 16)));
  }
  return bytes;
}

inline std::string Shortcut() { return ParseDump(kShortcutDump); }

inline std::string Phonebook() {
  std::string text = "\xEF\xBB\xBF\r\n";
  for (char8_t c : kPhonebookListing) {
    if (c == u8'\n') text.push_back('\r');
    text.push_back(static_cast<char>(c));
  }
  return text;
}

}  // namespace broadband_expected
