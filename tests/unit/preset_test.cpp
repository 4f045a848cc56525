// Preset files: which control states and button presses a good file plans,
// and the exact error line of each bad one. The expected control ids are the
// windows' ids for each caption, written down here independently.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "unattended/preset.h"
#include "plan/command.h"
#include "ui/control_ids.h"

namespace lumeno {
namespace {

// One planned section as text: "name@line: id=value ... > command ... !admin".
std::string Describe(const PlannedSection& section) {
  std::string out = section.name + "@" + std::to_string(section.line) + ":";
  char id[16];
  for (const PresetSetting& s : section.settings) {
    std::snprintf(id, sizeof id, "%X", s.control);
    out += std::string(" ") + (s.window == kMainWindow ? "m" : "s") + id + "=" +
           (s.value.is_text ? "'" + s.value.text + "'" : std::to_string(s.value.number));
  }
  for (const Command* command : section.commands) out += std::string(" > ") + command->name;
  if (section.needs_administrator) out += " !admin";
  return out;
}

std::vector<std::string> Describe(const Preset& preset) {
  std::vector<std::string> out;
  for (const PlannedSection& section : preset.sections) out.push_back(Describe(section));
  return out;
}

// Files as other editors save them. Narrow literals here are GBK, so the
// other encodings are written as u8 and u literals.
std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string Utf16Units(std::u16string_view text) {
  std::string out;
  for (char16_t unit : text) out += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return out;
}

std::string Utf16Le(std::u16string_view text) { return "\xFF\xFE" + Utf16Units(text); }

struct GoodFile {
  const char* what;
  std::string file;
  std::vector<std::string> planned;
};

TEST(PresetTest, GoodFilesPlanTheControlStatesOfTheirCaptionsInClickOrder) {
  const GoodFile cases[] = {
      {"CR LF", "[服务快速优化]\r\n方案=网吧模式\r\n", {"服务快速优化@1: s160102FC=1 > 服务优化 !admin"}},
      {"LF, comments, blanks around names and values, ASCII letters in any case",
       "; 办公室\n\n  [ 服务快速优化 ]  \n\t方案 =  xp默认 \n", {"服务快速优化@3: s160102F9=1 > 服务优化 !admin"}},
      {"a tweak that writes HKLM and a cleaning item; a box set to 0 is left unticked",
       "[优化]\nIE临时文件=1\n禁用搜索助手=1\n加快菜单显示速度=0\n",
       {"优化@1: m16010296=1 m160102AD=1 > 系统优化 !admin"}},
      {"only the current user's settings need no administrator", "[优化]\n加快菜单显示速度=1\n系统临时文件=1\n",
       {"优化@1: m160102B2=1 m16010297=1 > 系统优化"}},
      {"quoted target with a blank", "[转资料]\n目标=\"E:\\资料 备份\"\n桌面=1\nOutlook文件夹=1\n",
       {"转资料@1: s160102E7='E:\\资料 备份' s160102E8=1 s160102E4=1 > 资料转移 !admin"}},
      {"the Outlook Express store alone is the user's own", "[转资料]\n目标=D:\\\nOutlook文件夹=1\n",
       {"转资料@1: s160102E7='D:\\' s160102E4=1 > 资料转移"}},
      {"a section that selects nothing presses nothing", "[转资料]\n目标=\n我的文档=0\n[小工具]\n生成ADSL=0\n",
       {"转资料@1: s160102E7=''", "小工具@4:"}},
      {"resolution", "[分辨率]\n普通液晶=17寸LCD\n", {"分辨率@1: s1601030B=1 > 分辨率设置 !admin"}},
      {"optional services", "[可选服务]\nUPNP设备支持=1\n开启打印服务=1\n硬件播放服务=0\n",
       {"可选服务@1: s160102F4=1 s160102F3=1 > 服务启动 !admin"}},
      {"the cookies are the user's own", "[清系统]\n清空 Cookies=1\n", {"清系统@1: s160102DE=1 > 系统清理"}},
      {"sections run in click order, not file order",
       "[小工具]\n生成ADSL=1\n[清系统]\n删除默认共享=1\n[优化]\n回收站=1\n",
       {"优化@5: m16010298=1 > 系统优化", "清系统@3: s160102DF=1 > 系统清理 !admin",
        "小工具@1: > 宽带连接建立 !admin"}},
      {"an empty file", "", {}},
      {"UTF-8 without a mark, as Notepad saves it now: the target arrives in GBK",
       Utf8(u8"[转资料]\r\n目标=D:\\资料\r\n桌面=1\r\n"), {"转资料@1: s160102E7='D:\\资料' s160102E8=1 > 资料转移 !admin"}},
      {"UTF-8 with a mark, LF", "\xEF\xBB\xBF" + Utf8(u8"; 注释\n[服务快速优化]\n方案=网吧模式\n"),
       {"服务快速优化@2: s160102FC=1 > 服务优化 !admin"}},
      {"UTF-8 mark before plain ASCII", "\xEF\xBB\xBF; office\r\n", {}},
      {"UTF-16 LE with a mark, lone CR lines", Utf16Le(u"\r[转资料]\r目标=E:\\资料 备份\r桌面=1"),
       {"转资料@2: s160102E7='E:\\资料 备份' s160102E8=1 > 资料转移 !admin"}},
      {"GBK with lone CR, CR LF and LF mixed; each end counts one line", "\r\n\n\r[小工具]\r生成ADSL=1\r\n",
       {"小工具@4: > 宽带连接建立 !admin"}},
  };
  for (const GoodFile& c : cases) {
    ParsedPreset parsed = ParsePreset(c.file);
    ASSERT_TRUE(parsed.ok) << c.what << ": " << PresetErrorLine("f", parsed.error);
    EXPECT_EQ(Describe(parsed.preset), c.planned) << c.what;
  }
}

struct BadFile {
  const char* what;
  std::string file;
  std::string error_line;
};

TEST(PresetTest, EachBadFileGetsOneExactErrorLine) {
  const char* const path = "D:\\预设\\网吧.ini";
  const BadFile cases[] = {
      {"saved as UTF-16 BE", std::string("\xFE\xFF\0[", 4),
       "D:\\预设\\网吧.ini 第 1 行：文件以 UTF-16 BE（大端）字节顺序标记开头，应为 GBK、UTF-8 或 UTF-16 LE 编码的文本"},
      {"a UTF-8 mark, then a byte that starts no character", "\xEF\xBB\xBF" + Utf8(u8"[优化]\n; 注释\r\n; ") + "\xC3(\n",
       "D:\\预设\\网吧.ini 第 3 行：文件以 UTF-8 字节顺序标记开头，但此行有无效的 UTF-8 字节 0xC3，应为 UTF-8 编码的文本"},
      {"a UTF-8 mark, then an encoded surrogate", "\xEF\xBB\xBF\r\xED\xA0\x80",
       "D:\\预设\\网吧.ini 第 2 行：文件以 UTF-8 字节顺序标记开头，但此行有无效的 UTF-8 字节 0xED，应为 UTF-8 编码的文本"},
      {"UTF-16 cut in the middle of a character", Utf16Le(u"[优化]\r\n加快启动速度=1\r\n") + "[",
       "D:\\预设\\网吧.ini 第 3 行：文件以 UTF-16 字节顺序标记开头，但字节数为奇数，末尾缺半个字符，应为完整的 UTF-16 LE 文本"},
      {"UTF-16 with a lone surrogate", Utf16Le(u"[优化]\n;") + std::string("\0\xD8", 2) + Utf16Units(u"\n"),
       "D:\\预设\\网吧.ini 第 2 行：此行有不成对的 UTF-16 代理项 U+D800，应为完整的 UTF-16 LE 文本"},
      {"Hangul, which GBK lacks, in a UTF-8 target", Utf8(u8"[转资料]\n\n目标=D:\\자료\n"),
       "D:\\预设\\网吧.ini 第 3 行：字符 U+C790 没有 GBK（代码页 936）编码，应只用 GBK 中有的字符"},
      {"an emoji in a UTF-16 comment", Utf16Le(u"[优化]\r; 好😀\r"),
       "D:\\预设\\网吧.ini 第 2 行：字符 U+1F600 没有 GBK（代码页 936）编码，应只用 GBK 中有的字符"},
      {"an accented letter is not made a look-alike", Utf8(u8"[转资料]\n目标=D:\\Año\n"),
       "D:\\预设\\网吧.ini 第 2 行：字符 U+00F1 没有 GBK（代码页 936）编码，应只用 GBK 中有的字符"},
      {"an error after decoding counts UTF-16 CR lines", Utf16Le(u"[优化]\r加快启动速度\r"),
       "D:\\预设\\网吧.ini 第 2 行：无法识别“加快启动速度”，应为 [节名]、键=值 或以 ; 开头的注释"},
      {"section typo", "[优化]\n\n[清系通]\n",
       "D:\\预设\\网吧.ini 第 3 行：未知的节 [清系通]，应为 [优化] [服务快速优化] [可选服务] [清系统] [转资料] "
       "[分辨率] [小工具] 之一；是否应为[清系统]？"},
      {"caption typo among the 26 items", "[优化]\n禁用缩略图片=1\n",
       "D:\\预设\\网吧.ini 第 2 行：[优化] 中没有“禁用缩略图片”，应为本节 26 个选项的标题之一；是否应为“禁用缩略图”？"},
      {"caption typo in a small section", "[可选服务]\n打印服务=1\n",
       "D:\\预设\\网吧.ini 第 2 行：[可选服务] 中没有“打印服务”，应为“UPNP设备支持”、“开启打印服务”、“硬件播放服务”、"
       "“无线网卡支持” 之一；是否应为“开启打印服务”？"},
      {"nothing near enough to suggest", "[小工具]\nfoo=1\n",
       "D:\\预设\\网吧.ini 第 2 行：[小工具] 中没有“foo”，应为“生成ADSL” 之一"},
      {"value other than 0/1", "[可选服务]\n开启打印服务=yes\n",
       "D:\\预设\\网吧.ini 第 2 行：“开启打印服务”的值“yes”无效，应为 1 或 0"},
      {"a stray lead byte as the value", "[可选服务]\n开启打印服务=\xB1\n",
       "D:\\预设\\网吧.ini 第 2 行：“开启打印服务”的值“\xB1”无效，应为 1 或 0"},
      {"profile typo", "[服务快速优化]\n方案=网吧\n",
       "D:\\预设\\网吧.ini 第 2 行：“方案”的值“网吧”无效，应为“最精简模式”、“网吧模式”、“办公模式”、“笔记本模式”、"
       "“XP默认” 之一；是否应为“网吧模式”？"},
      {"two profiles", "[服务快速优化]\n方案=网吧模式\n方案=办公模式\n",
       "D:\\预设\\网吧.ini 第 3 行：[服务快速优化] 只能选一项，第 2 行已选“网吧模式”"},
      {"two resolutions (one radio group on screen)", "[分辨率]\nCRT显示器=17寸CRT\n宽屏液晶=19宽屏LCD\n",
       "D:\\预设\\网吧.ini 第 3 行：[分辨率] 只能选一项，第 2 行已选“17寸CRT”"},
      {"a preset of another group, CR LF lines counted", "[优化]\r\nIE临时文件=1\r\n\r\n[分辨率]\r\n普通液晶=17寸CRT\r\n",
       "D:\\预设\\网吧.ini 第 5 行：“普通液晶”的值“17寸CRT”无效，应为“15寸LCD”、“17寸LCD”、“19寸LCD” 之一；"
       "是否应为“17寸LCD”？"},
      {"empty target with a folder ticked", "[转资料]\n目标=\n桌面=1\n",
       "D:\\预设\\网吧.ini 第 2 行：[转资料] 勾选了要转移的文件夹，但“目标”为空，应为目标文件夹，如 目标=D:\\Personal"},
      {"no target with a folder ticked", "; x\n[转资料]\n桌面=1\n",
       "D:\\预设\\网吧.ini 第 2 行：[转资料] 勾选了要转移的文件夹，但“目标”为空，应为目标文件夹，如 目标=D:\\Personal"},
      {"key before any section", "加快启动速度=1\n[优化]\n",
       "D:\\预设\\网吧.ini 第 1 行：“加快启动速度”之前没有节名，应先写节名，如 [优化]"},
      {"line without '='", "[优化]\n加快启动速度\n",
       "D:\\预设\\网吧.ini 第 2 行：无法识别“加快启动速度”，应为 [节名]、键=值 或以 ; 开头的注释"},
      // 0xB1 0x5D is one character whose second byte is ']': no closing bracket.
      {"bracket that is half a character", "[优化\xB1\x5D\n",
       "D:\\预设\\网吧.ini 第 1 行：无法识别“[优化\xB1\x5D”，应为 [节名]、键=值 或以 ; 开头的注释"},
      {"section twice", "[优化]\nIE临时文件=1\n[优化]\n", "D:\\预设\\网吧.ini 第 3 行：节 [优化] 重复，第 1 行已有此节"},
      {"box twice", "[清系统]\n清理日志文件=1\n清理日志文件=0\n",
       "D:\\预设\\网吧.ini 第 3 行：“清理日志文件”重复，第 2 行已有"},
  };
  for (const BadFile& c : cases) {
    ParsedPreset parsed = ParsePreset(c.file);
    ASSERT_FALSE(parsed.ok) << c.what;
    EXPECT_EQ(PresetErrorLine(path, parsed.error), c.error_line) << c.what;
  }
  // The line is GBK: "第" and "行" as their code page 936 bytes.
  EXPECT_EQ(PresetErrorLine("a", {7, "x"}), "a \xB5\xDA 7 \xD0\xD0\xA3\xBAx");
}

TEST(PresetTest, NearestCaptionComparesGbkCharactersAndFoldsOnlyAsciiLetters) {
  const std::vector<const char*> profiles = {"最精简模式", "网吧模式", "办公模式", "笔记本模式", "XP默认"};
  struct Case {
    const char* typed;
    std::vector<const char*> candidates;
    const char* nearest;
  };
  const Case cases[] = {
      {"网巴模式", profiles, "网吧模式"},
      {"xp默认", profiles, "XP默认"},
      // Two of four characters missing is still half; counted in bytes it would be four of six.
      {"XP", profiles, "XP默认"},
      {"笔记本", profiles, "笔记本模式"},
      {"最简", profiles, nullptr},
      // Letters that are the second byte of a double-byte character are no letters.
      {"\x81\x61", {"\x81\x41"}, nullptr},
      {"\xB1", {"\xB1\x5D"}, nullptr},
  };
  for (const Case& c : cases) {
    const char* nearest = NearestCaption(c.typed, c.candidates);
    EXPECT_STREQ(nearest, c.nearest) << c.typed;
  }
}

}  // namespace
}  // namespace lumeno
