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

std::string FullMessage(std::size_t capacity, bool during_search, TextModel::Refusal reason,
                        TextModel::Removed held) {
    using Refusal = TextModel::Refusal;
    const std::string limit = "(предел — " + CapacityText(capacity) + ")";
    const std::string full = "Поле найденных совпадений заполнено " + limit;
    if (during_search && reason != Refusal::kText) {
        const std::string keys = KeysText(held);
        // Saving and clearing is safe now: what is cleared after a save is in the file.
        const std::string advice =
            " Чтобы искать дальше, сохраните найденное в файл и очистите поле; чтобы сохранить и "
            "то, что удалено, сначала верните его (" +
            keys + ").";
        // "Очистить" during the search: the box is far from full, the cleared text takes the
        // room.
        if (held.Total() >= capacity / 16) {
            return "Поиск остановлен: место в поле найденных совпадений " + limit +
                   " занимает удалённый текст (" + MegabytesText(held.Total()) +
                   "), который ещё можно вернуть (" + keys + "). Всё найденное осталось в поле." +
                   advice;
        }
        return full +
               " вместе с правками, которые можно отменить: поиск остановлен. Всё найденное "
               "осталось в поле, и правки можно отменить (" +
               keys + ")." + advice;
    }
    if (during_search) {
        return full +
               ": поиск остановлен. Всё найденное осталось в поле; сохраните его в файл и "
               "очистите поле, чтобы искать дальше.";
    }
    if (reason == Refusal::kHistory) {
        return full + ": правку нельзя было бы отменить, текст не изменён.";
    }
    // The box may well be empty: its limit is what the text passes.
    return "Поле найденных совпадений вмещает не больше " + CapacityText(capacity) +
           ": текст не добавлен.";
}

}  // namespace

std::string MegabytesText(std::size_t bytes) {
    const double megabytes = static_cast<double>(bytes) / static_cast<double>(kMegabyte);
    char text[32];
    if (megabytes < 0.05) {
        // Less than would show as "0,1 МБ": kilobytes, none shown as 0.
        return std::to_string((bytes + 1023) / 1024) + " КБ";
    }
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

// Undo brings back what the steps done took out, redo what the steps undone did.
std::string KeysText(TextModel::Removed removed) {
    if (removed.by_undo > 0 && removed.by_redo > 0) return "Ctrl+Z и Ctrl+Y";
    return removed.by_redo > 0 ? "Ctrl+Y" : "Ctrl+Z";
}

std::string SearchQuestion(TextModel::Removed kept) {
    return MegabytesText(kept.Total()) + " удалённого текста ещё можно вернуть (" + KeysText(kept) +
           "), но он не сохранён. Забыть его и искать дальше?";
}

// What an edit pushes out is the oldest steps done: Ctrl+Z brings it back.
std::string EditQuestion(std::size_t kept) {
    return MegabytesText(kept) +
           " удалённого текста ещё можно вернуть (Ctrl+Z), но он не сохранён, а правке нужно "
           "его место. Забыть его и сделать правку?";
}

ResultsFullError::ResultsFullError(std::size_t capacity, bool during_search,
                                   TextModel::Refusal reason, TextModel::Removed held)
    : Error(FullMessage(capacity, during_search, reason, held)) {}

ResultsKeptInTheWayError::ResultsKeptInTheWayError(std::size_t kept)
    : Error("Правка не сделана: место занимает удалённый текст (" + MegabytesText(kept) +
            "), который ещё можно вернуть (Ctrl+Z), но он не сохранён."),
      kept_(kept) {}

ResultsNotReceivedError::ResultsNotReceivedError()
    : Error(
          "Вставка не сделана: другая программа не передала текст за 5 секунд, которые ждёт "
          "буфер обмена, — так бывает с очень большим текстом. Вставьте его частями.") {}

ResultsOutOfMemoryError::ResultsOutOfMemoryError() : Error(kResultsOutOfMemory) {}

}  // namespace bukvotok
