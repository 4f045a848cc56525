// GBK bytes of texts that many tests compare, spelled once as bytes, so that
// no check depends on how the compiler encodes the program's literals.
#pragma once

namespace texts {

inline constexpr char kDefaultTitle[] = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：
inline constexpr char kBackupFolder[] = "\xB1\xB8\xB7\xDD";              // 备份, where restore files go

}  // namespace texts
