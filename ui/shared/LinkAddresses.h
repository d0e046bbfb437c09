// The main window's two links.  Kept together so a move of either site is a single edit.
#pragma once

#include <string_view>

namespace bukvotok {

inline constexpr std::u16string_view kSiteUrl = u"http://bukvotok.ru";
inline constexpr std::u16string_view kForumUrl = u"http://forum.bukvotok.ru";

}  // namespace bukvotok
