#pragma once
// The remover's own texts: GBK narrow strings (the layer is compiled with
// -fexec-charset=GBK), widened at run time.
#include <string>
#include <string_view>

#include "win/TextConversion.h"

namespace kvuninstall {

inline constexpr char kTitleText[] = "Korvanthel卸载程序";
inline constexpr char kQuestionText[] = "是否要卸载Korvanthel?";
inline constexpr char kDataErrorText1[] = "uninstall.dat 丢失或错误，无法完成卸载，请手动卸载！";
inline constexpr char kDataErrorText2[] = "uninstall.dat 丢失或错误，无法完成卸载，请手动卸！";
// Shown when the client could not be ended or an installed file, shortcut or registry key is still there.
inline constexpr char kLeftOverText[] =
    "卸载未完成：程序无法关闭，或文件、快捷方式、注册表项无法删除，请手动完成卸载！";

inline std::wstring FromGbk(std::string_view text) { return kvwin::CodePageToWide(text, 936); }

}  // namespace kvuninstall
