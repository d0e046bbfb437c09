// The answers to a question the user may also put off.
#pragma once

namespace bukvotok {

// "Да", "Нет" or "Отмена".
enum class Answer { kYes, kNo, kCancel };

}  // namespace bukvotok
