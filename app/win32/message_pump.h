// The Windows edition's one message pump: the program's main loop and the core's "process
// pending events" points both take their messages through it, so the keyboard behaves alike in
// both. `dialog` names Form1 before each message, null once it is gone: Tab, Shift+Tab, Enter
// and Esc go to it as in a dialog, every other message to its own window.
#pragma once

#include <windows.h>

#include <functional>

namespace foliomix::win32 {

// Waits for messages and handles them until a quit request; returns the request's exit code, or
// 1 when the thread's message queue fails.
int PumpMessagesUntilQuit(const std::function<HWND()>& dialog);

// Handles the messages already queued and returns without waiting. A quit request is left
// queued for the main loop and ends the pumping: the messages behind it wait for that loop too.
void PumpPendingMessages(const std::function<HWND()>& dialog);

}  // namespace foliomix::win32
