// The main window of the Win32 face: "Буквоток" with the controls of its layout at their
// places (scaled to the monitor's density), the two links, the status line and the stop box.
// Its four buttons, its stop box, its close and the session's end call MainWindow, and it shows
// what MainWindow asks (WindowFace); the window itself decides nothing.  When made smaller
// than its controls it scrolls; Tab goes round the controls in the layout's order, and Return
// or Space presses the focused button.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>

#include "CursorRegistry.h"
#include "Grlink.h"
#include "Handles.h"
#include "MainWindow.h"
#include "OpenFileDialog.h"
#include "ResultsBox.h"
#include "WindowFace.h"
#include "WindowObject.h"

namespace bukvotok::win32 {

class TForm1 : public WindowFace {
public:
    static constexpr const wchar_t* kClassName = L"TForm1";
    // The controls' ids, by their names in the layout.
    enum ControlId : int {
        Label3 = 1003,
        Label4 = 1004,
        Grlink1 = 1011,
        Grlink2 = 1012,
        Label1 = 1001,
        Label2 = 1002,
        Button2 = 1102,
        Button4 = 1104,
        Memo1 = 1201,
        Button5 = 1105,
        CheckBox1 = 1301,
        Button1 = 1101,
    };

    // Made hidden; Show() shows it.
    TForm1(HINSTANCE instance, CursorRegistry& cursors);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    HWND Handle() const { return window_.Get(); }
    HWND Control(ControlId id) const { return ::GetDlgItem(window_.Get(), id); }
    TGrlink& Link(ControlId id) { return id == Grlink1 ? *grlink1_ : *grlink2_; }
    OpenFileDialog& OpenDialog1() { return open_dialog_; }
    MainWindow& Commands() { return *commands_; }
    ResultsBox& Results() { return results_; }

    // The launcher's show request: maximised (3), minimised without activation (7), else
    // normal; the focus on "Загрузить словарь".
    void Show(int show_command);
    // The status line's text, Windows-1251 bytes; the label widens with it.
    void SetStatus(std::string_view text);
    bool StopRequested() const;

    // Hands a message of the thread to its window, the dialog keys (Tab, Space, Return, the
    // arrows) to the form's controls.
    void Deliver(MSG& message);

    // --- WindowFace ---
    void ShowStatus(std::string_view text) override { SetStatus(text); }
    void ProcessPendingEvents() override;
    void WaitForEvents() override;
    std::optional<NativePath> AskForPath(const NativePath& offered) override {
        return open_dialog_.AskForPath(offered);
    }
    bool AskToReplaceDictionary(const NativePath& path) override;
    Answer AskYesNoCancel(std::string_view question) override;
    bool AskQuestion(std::string_view question) override;
    void SaveWithProgress(const NativePath& path,
                          std::span<const std::string_view> pieces) override;
    void ShowError(std::string_view message) override;
    void CloseWindow() override;

private:
    template <typename Object>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

    void CreateControls(HINSTANCE instance);
    // The window's font to every control, the labels fitted to their texts in it.
    void ApplyFont();
    // Every control at its place for the density and the scroll position.
    void Layout();
    void OnCommand(int id, int notification);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnSize();
    void OnScroll(int bar, int request);
    void ScrollIntoView(HWND control);
    void FitLabel(HWND label) const;
    int Scaled(int pixels) const;

    // Whether the session may end: asks as a close does.
    bool QueryEndSession();

    CursorRegistry& cursors_;
    ResultsBox results_;
    std::unique_ptr<MainWindow> commands_;
    WindowHandle window_;
    FontHandle font_;
    int dpi_ = 96;
    POINT scroll_{};  // how far the client area is scrolled, in pixels
    std::unique_ptr<TGrlink> grlink1_;
    std::unique_ptr<TGrlink> grlink2_;
    OpenFileDialog open_dialog_{nullptr};
    HWND focus_ = nullptr;  // given back when the window is activated again
};

}  // namespace bukvotok::win32
