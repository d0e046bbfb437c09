#include "Question.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

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

}  // namespace

bool AskQuestion(const std::wstring& text) {
    const std::wstring title = ApplicationTitle();
    // A task dialog, because the message box's buttons speak the system's language.
    const TASKDIALOG_BUTTON buttons[] = {{IDYES, L"Да"}, {IDNO, L"Нет"}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = BoxOwner();
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = text.c_str();
    config.cButtons = static_cast<UINT>(std::size(buttons));
    config.pButtons = buttons;
    config.nDefaultButton = IDNO;
    int answer = IDNO;
    const TaskDialogFunction task_dialog = TaskDialog();
    if (task_dialog && SUCCEEDED(task_dialog(&config, &answer, nullptr, nullptr))) {
        return answer == IDYES;
    }
    // Without task dialogs the system's own buttons are the best there is.
    return ::MessageBoxW(BoxOwner(), text.c_str(), title.c_str(),
                         MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

bool AskToReplaceDictionary(const std::wstring& path) {
    return AskQuestion(ToWide(ReplaceDictionaryQuestion(ToUtf16(path))));
}

}  // namespace bukvotok::win32
