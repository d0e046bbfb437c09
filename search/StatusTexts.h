// The status line's texts, as Windows-1251 bytes.
#pragma once

#include "Cp1251.h"

namespace bukvotok {

inline constexpr Cp1251Text kLoadingStatus{"Статус: Загрузка словаря!"};
inline constexpr Cp1251Text kLoadedStatus{"Статус: Загрузка словаря выполнена!"};
inline constexpr Cp1251Text kSearchingStatus{"Статус: Поиск совпадений!"};
inline constexpr Cp1251Text kStoppedStatus{"Статус: Поиск совпадений остановлен!"};

}  // namespace bukvotok
