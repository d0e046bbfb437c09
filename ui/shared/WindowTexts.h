// Texts of the window's dialogs that carry figures or names, made alike by every face.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bukvotok {

// "Файл «<path>» — загруженный словарь. Записать найденное вместо словаря?"
std::u16string ReplaceDictionaryQuestion(std::u16string_view path);

// "<doing>: 512 из 2048 МБ": whole megabytes written, of the total rounded up.
std::u16string ProgressText(std::u16string_view doing, std::uint64_t written, std::uint64_t total);

}  // namespace bukvotok
