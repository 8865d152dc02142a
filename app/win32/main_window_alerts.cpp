// Form1's message box and beep.
#include "app/win32/main_window_win32.h"

#include <string>

#include "app/win32/wide_text.h"

namespace foliomix::win32 {

void Win32MainWindow::ShowMessage(std::u16string_view text, std::u16string_view title) {
    if (!IsOpen()) {
        return;
    }
    const std::wstring wideText = ToWide(text);
    const std::wstring wideTitle = ToWide(title);
    MessageBoxW(Handle(), wideText.c_str(), wideTitle.c_str(), MB_OK);
}

void Win32MainWindow::Beep() {
    // The sound the user chose as the system's default beep; it plays through the sound card,
    // where the speaker beep (0xFFFFFFFF) is silent on most machines without a PC speaker.
    MessageBeep(MB_OK);
}

}  // namespace foliomix::win32
