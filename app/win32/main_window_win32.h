// Form1 as a native Win32 window: the window of the design, its controls, the two file dialogs,
// the message box and the event processing the core uses. It owns the merge list and the merge
// run and runs them when their buttons are clicked.
// Its members are defined by job: creation and the window procedure in main_window_win32.cpp,
// layout and density in main_window_layout.cpp, the list, buttons and status bar in
// main_window_controls.cpp, the file dialogs in main_window_dialogs.cpp, the message box and the
// beep in main_window_alerts.cpp.
#pragma once

#include <windows.h>

#include <array>
#include <exception>

#include "app/form_design.h"
#include "app/main_window.h"
#include "app/win32/file_dialog.h"
#include "app/win32/gdi_handles.h"
#include "app/win32/list_extent.h"
#include "app/win32/window_class.h"
#include "merge/merge_run.h"
#include "mergelist/merge_list.h"

namespace foliomix::win32 {

class Win32MainWindow final : public MainWindow {
  public:
    // Creates Form1 with every control in its initial state, hidden. Throws std::system_error
    // with the Windows error code (win32_error.h) when the window cannot be created; no window
    // is left behind then.
    Win32MainWindow(HINSTANCE instance, PresentationServer& server);
    // Destroys the window if it is still open; that ending asks no message loop to quit.
    ~Win32MainWindow() override = default;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    void Show(int showCommand);
    // Null once the window has been destroyed.
    [[nodiscard]] HWND Handle() const { return window_.Get(); }
    // Rethrows an exception that a handler let escape; the window has been closed then.
    void RethrowHandlerFailure() const;

    void AddItem(std::u16string_view text) override;
    [[nodiscard]] std::int16_t ListCount() const override;
    [[nodiscard]] std::int16_t ListIndex() const override;
    [[nodiscard]] std::u16string List(std::int16_t index) const override;
    void SetList(std::int16_t index, std::u16string_view text) override;
    void SetEnabled(design::ControlId button, bool enabled) override;
    void SetSimpleText(std::u16string_view text) override;
    void SetOpenFlags(std::uint32_t flags) override;
    DialogOutcome ShowOpen() override;
    [[nodiscard]] std::u16string OpenFileName() const override;
    DialogOutcome ShowSave() override;
    [[nodiscard]] std::u16string SaveFileName() const override;
    void ShowMessage(std::u16string_view text, std::u16string_view title) override;
    void Beep() override;
    void ProcessPendingEvents() override;
    [[nodiscard]] bool IsOpen() const override { return window_.Get() != nullptr; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    // Recreates the font and places the window and every control for the density.
    void ApplyDpi(UINT dpi, const RECT* suggested);
    void OnClick(design::ControlId button);
    [[nodiscard]] HWND Control(design::ControlId id) const;

    HINSTANCE instance_;
    std::array<HWND, design::kControls.size()> controls_{};
    UniqueFont font_;
    // Of the list's rows in font_.
    ListExtent listExtent_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    FileDialog ofd_;
    FileDialog sfd_;
    MergeList mergeList_;
    MergeRun mergeRun_;
    std::exception_ptr handlerFailure_;
    // Declared last, so destroyed first, also when the constructor fails: the messages of the
    // window's destruction still find every other member, and the controls let go of font_
    // and the window of its icons before those are deleted.
    UniqueWindow window_;
};

}  // namespace foliomix::win32
