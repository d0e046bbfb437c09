#include "ResultsErrors.h"

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

std::string FullMessage(std::size_t capacity, bool during_search, bool for_history) {
    const std::string full =
        "Поле найденных совпадений заполнено (предел — " + CapacityText(capacity) + ")";
    if (during_search && for_history) {
        return full +
               " вместе с правками, которые можно отменить: поиск остановлен. Всё найденное "
               "осталось в поле, и правки можно отменить (Ctrl+Z); сохраните найденное в файл и "
               "очистите поле, чтобы искать дальше.";
    }
    if (during_search) {
        return full +
               ": поиск остановлен. Всё найденное осталось в поле; сохраните его в файл и "
               "очистите поле, чтобы искать дальше.";
    }
    if (for_history) return full + ": правку нельзя было бы отменить, текст не изменён.";
    return full + ": текст не добавлен.";
}

}  // namespace

ResultsFullError::ResultsFullError(std::size_t capacity, bool during_search, bool for_history)
    : Error(FullMessage(capacity, during_search, for_history)) {}

ResultsOutOfMemoryError::ResultsOutOfMemoryError() : Error(kResultsOutOfMemory) {}

}  // namespace bukvotok
