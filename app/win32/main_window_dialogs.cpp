// Form1's two file dialogs as the core uses them: shown owned by the window, never once it is
// closed.
#include "app/win32/main_window_win32.h"

namespace foliomix::win32 {

void Win32MainWindow::SetOpenFlags(std::uint32_t flags) { ofd_.SetFlags(flags); }

DialogOutcome Win32MainWindow::ShowOpen() {
    return IsOpen() ? ofd_.Show(Handle()) : DialogOutcome::Cancelled;
}

std::u16string Win32MainWindow::OpenFileName() const { return ofd_.FileName(); }

DialogOutcome Win32MainWindow::ShowSave() {
    return IsOpen() ? sfd_.Show(Handle()) : DialogOutcome::Cancelled;
}

std::u16string Win32MainWindow::SaveFileName() const { return sfd_.FileName(); }

}  // namespace foliomix::win32
