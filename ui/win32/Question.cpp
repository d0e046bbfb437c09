#include "Question.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <span>
#include <utility>

#include "ApplicationTitle.h"
#include "ShowError.h"
#include "Utf16.h"
#include "WindowTexts.h"

namespace bukvotok::win32 {

namespace {

// Only the common controls' sixth version has task dialogs; the manifest asks for it, and a
// program started without its manifest must still start, so the call is looked up in the
// version the program loaded (InitCommonControlsEx, at start-up).
using TaskDialogFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

TaskDialogFunction TaskDialog() {
    const HMODULE controls = ::GetModuleHandleW(L"comctl32.dll");
    return controls ? reinterpret_cast<TaskDialogFunction>(
                          reinterpret_cast<void*>(::GetProcAddress(controls, "TaskDialogIndirect")))
                    : nullptr;
}

QuestionBoxReplacement& Replacement() {
    static QuestionBoxReplacement replacement;
    return replacement;
}

// A task dialog, because the message box's buttons speak the system's language; without task
// dialogs the system's own buttons are the best there is.  The answer's id.
int Ask(const std::wstring& text, std::span<const TASKDIALOG_BUTTON> buttons, int default_button,
        UINT box_buttons) {
    if (Replacement()) return Replacement()(text);
    const std::wstring title = ApplicationTitle();
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = BoxOwner();
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = text.c_str();
    config.cButtons = static_cast<UINT>(buttons.size());
    config.pButtons = buttons.data();
    config.nDefaultButton = default_button;
    int answer = IDCANCEL;
    const TaskDialogFunction task_dialog = TaskDialog();
    if (task_dialog && SUCCEEDED(task_dialog(&config, &answer, nullptr, nullptr))) return answer;
    return ::MessageBoxW(BoxOwner(), text.c_str(), title.c_str(), MB_ICONWARNING | box_buttons);
}

}  // namespace

bool AskQuestion(const std::wstring& text) {
    // Escape, and the close box, answer "Нет".
    const TASKDIALOG_BUTTON buttons[] = {{IDYES, L"Да"}, {IDNO, L"Нет"}};
    return Ask(text, buttons, IDNO, MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

Answer AskYesNoCancel(const std::wstring& text) {
    const TASKDIALOG_BUTTON buttons[] = {{IDYES, L"Да"}, {IDNO, L"Нет"}, {IDCANCEL, L"Отмена"}};
    switch (Ask(text, buttons, IDYES, MB_YESNOCANCEL)) {
        case IDYES:
            return Answer::kYes;
        case IDNO:
            return Answer::kNo;
        default:
            return Answer::kCancel;
    }
}

bool AskToReplaceDictionary(const std::wstring& path) {
    return AskQuestion(ToWide(ReplaceDictionaryQuestion(ToUtf16(path))));
}

QuestionBoxReplacement ReplaceQuestionBox(QuestionBoxReplacement replacement) {
    std::swap(Replacement(), replacement);
    return replacement;
}

}  // namespace bukvotok::win32
