#include "ResultsErrors.h"

#include <cstdio>
#include <string>

namespace bukvotok {

namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;

// To the nearest megabyte, and in gigabytes when that is a whole number of them: the limit of
// 2 GiB less one byte is "2 ГБ", as the README gives it.
std::string CapacityText(std::size_t capacity) {
    const std::size_t megabytes = (capacity + kMegabyte / 2) / kMegabyte;
    if (capacity >= kMegabyte && megabytes % 1024 == 0) {
        return std::to_string(megabytes / 1024) + " ГБ";
    }
    if (capacity >= kMegabyte) return std::to_string(megabytes) + " МБ";
    return std::to_string(capacity) + " байт";
}

// What to do to keep removed text: it is in no file, and Ctrl+Z brings it back.
std::string KeepAdvice(std::size_t kept) {
    return "Удалённый текст (" + MegabytesText(kept) +
           ") ещё можно вернуть (Ctrl+Z), но он не сохранён: чтобы он не пропал, верните его и "
           "сохраните найденное в файл.";
}

std::string FullMessage(std::size_t capacity, bool during_search, TextModel::Refusal reason,
                        std::size_t kept) {
    using Refusal = TextModel::Refusal;
    const std::string full =
        "Поле найденных совпадений заполнено (предел — " + CapacityText(capacity) + ")";
    if (during_search && reason == Refusal::kHistory) {
        // Saving and clearing is safe now: what is cleared after a save is in the file.
        return full +
               " вместе с правками, которые можно отменить: поиск остановлен. Всё найденное "
               "осталось в поле, и правки можно отменить (Ctrl+Z). Чтобы искать дальше, "
               "сохраните найденное в файл и очистите поле; чтобы сохранить и то, что удалено, "
               "сначала верните его (Ctrl+Z).";
    }
    if (during_search) {
        return full +
               ": поиск остановлен. Всё найденное осталось в поле; сохраните его в файл и "
               "очистите поле, чтобы искать дальше.";
    }
    if (reason == Refusal::kKept) {
        return full + ": правка не сделана, место занимает удалённый текст. " + KeepAdvice(kept) +
               " То, что удалено после сохранения, места не держит.";
    }
    if (reason == Refusal::kHistory) {
        return full + ": правку нельзя было бы отменить, текст не изменён.";
    }
    return full + ": текст не добавлен.";
}

}  // namespace

std::string MegabytesText(std::size_t bytes) {
    const double megabytes = static_cast<double>(bytes) / static_cast<double>(kMegabyte);
    char text[32];
    if (megabytes >= 10) {
        std::snprintf(text, sizeof text, "%.0f МБ", megabytes);
    } else {
        std::snprintf(text, sizeof text, "%.1f МБ", megabytes);
        for (char* c = text; *c != '\0'; ++c) {
            if (*c == '.') *c = ',';
        }
    }
    return text;
}

ResultsFullError::ResultsFullError(std::size_t capacity, bool during_search,
                                   TextModel::Refusal reason, std::size_t kept)
    : Error(FullMessage(capacity, during_search, reason, kept)) {}

ResultsOutOfMemoryError::ResultsOutOfMemoryError() : Error(kResultsOutOfMemory) {}

}  // namespace bukvotok
