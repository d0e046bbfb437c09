#include "SaveProgressDialog.h"

#include <commctrl.h>

#include "ApplicationTitle.h"
#include "ResultsFile.h"
#include "Utf16.h"
#include "WindowResources.h"
#include "WindowTexts.h"

namespace bukvotok::win32 {

namespace {

// The bar counts in thousandths: a byte count does not fit its range.
constexpr int kBarSteps = 1000;

// Lets waiting messages in: painting and the like, as the window is disabled.  An end request
// taken here is put back for the program's own loop.
void LetMessagesIn() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace

ProgressAfterDelay::ProgressAfterDelay(HWND window, std::wstring doing,
                                       std::chrono::milliseconds delay)
    : window_(window),
      doing_(std::move(doing)),
      delay_(delay),
      start_(std::chrono::steady_clock::now()) {}

ProgressAfterDelay::~ProgressAfterDelay() {
    if (!dialog_) return;
    // The window first, so that Windows hands the activation back to it.
    ::EnableWindow(window_, TRUE);
    dialog_.Reset();
}

void ProgressAfterDelay::Report(std::uint64_t done, std::uint64_t total) {
    if (!dialog_) {
        if (window_ == nullptr || done == total ||
            std::chrono::steady_clock::now() - start_ < delay_) {
            return;
        }
        Show();
        if (!dialog_) return;
    }
    const std::wstring text = ToWide(ProgressText(ToUtf16(doing_), done, total));
    ::SetDlgItemTextW(dialog_.Get(), IDC_PROGRESS_TEXT, text.c_str());
    const std::uint64_t steps = total > 0 ? done * kBarSteps / total : kBarSteps;
    ::SendDlgItemMessageW(dialog_.Get(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(steps),
                          0);
    LetMessagesIn();
}

void ProgressAfterDelay::Show() {
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    dialog_.Reset(::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_SAVE_PROGRESS), window_,
                                       &DialogProc, 0));
    if (!dialog_) return;  // the save goes on without its sign of life
    ::SetWindowTextW(dialog_.Get(), ApplicationTitle().c_str());
    ::SendDlgItemMessageW(dialog_.Get(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarSteps);
    // Over the middle of the window whose save it is.
    RECT window{};
    RECT dialog{};
    if (::GetWindowRect(window_, &window) && ::GetWindowRect(dialog_.Get(), &dialog)) {
        const int width = dialog.right - dialog.left;
        const int height = dialog.bottom - dialog.top;
        ::SetWindowPos(dialog_.Get(), nullptr, (window.left + window.right - width) / 2,
                       (window.top + window.bottom - height) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::EnableWindow(window_, FALSE);
    ::ShowWindow(dialog_.Get(), SW_SHOW);
}

INT_PTR CALLBACK ProgressAfterDelay::DialogProc(HWND, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:  // Escape and Return: the save goes on, and so does the dialog
            return LOWORD(wparam) == IDCANCEL || LOWORD(wparam) == IDOK;
        case WM_CLOSE:
            return TRUE;
        default:
            return FALSE;
    }
}

void SaveWithProgress(HWND window, const NativePath& path,
                      std::span<const std::string_view> pieces) {
    ProgressAfterDelay progress(window, L"Сохранение найденного в файл");
    SaveResultsFile(path, pieces, [&progress](std::uint64_t written, std::uint64_t total) {
        progress.Report(written, total);
    });
}

}  // namespace bukvotok::win32
