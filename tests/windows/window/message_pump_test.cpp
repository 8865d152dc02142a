// The one message pump: the main loop's end with the quit request's code, and the event
// points' pumping that leaves a quit request, and what stands behind it, to the main loop.
#include "app/win32/message_pump.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace foliomix::win32 {
namespace {

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kSecond = WM_APP + 2;
constexpr UINT kThird = WM_APP + 3;

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};

// A message-only window that records the messages of ours it is given, in order.
class RecordingWindow {
  public:
    RecordingWindow() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Record;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Foliomix.PumpTest";
        RegisterClassExW(&wc);
        window_.reset(CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, wc.hInstance, nullptr));
        EXPECT_NE(window_, nullptr);
        received.clear();
        Drain();
    }
    [[nodiscard]] HWND Get() const { return window_.get(); }
    void Post(UINT message) const { PostMessageW(window_.get(), message, 0, 0); }

    static inline std::vector<UINT> received;

  private:
    static LRESULT CALLBACK Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= kFirst && message <= kThird) {
            received.push_back(message);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    static void Drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window_;
};

TEST(MessagePump, TheMainLoopHandlesMessagesInOrderAndEndsWithTheQuitCode) {
    const RecordingWindow window;
    window.Post(kFirst);
    window.Post(kSecond);
    PostQuitMessage(7);
    EXPECT_EQ(PumpMessagesUntilQuit([] { return HWND{}; }), 7);
    EXPECT_EQ(RecordingWindow::received, (std::vector<UINT>{kFirst, kSecond}));
}

TEST(MessagePump, PendingMessagesAreHandledWithoutWaiting) {
    const RecordingWindow window;
    window.Post(kFirst);
    window.Post(kSecond);
    PumpPendingMessages([] { return HWND{}; });
    EXPECT_EQ(RecordingWindow::received, (std::vector<UINT>{kFirst, kSecond}));
    // Nothing queued: it returns at once.
    PumpPendingMessages([] { return HWND{}; });
    EXPECT_EQ(RecordingWindow::received.size(), 2U);
}

TEST(MessagePump, AnEventPointLeavesTheQuitRequestAndWhatFollowsItToTheMainLoop) {
    const RecordingWindow window;
    window.Post(kFirst);
    PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 3, 0);
    window.Post(kThird);
    PumpPendingMessages([] { return HWND{}; });
    EXPECT_EQ(RecordingWindow::received, (std::vector<UINT>{kFirst}));
    // The main loop gets what stood behind the request, then the request with its code. Should
    // the request be lost, a timer ends the loop instead of leaving it waiting for ever.
    const UINT_PTR timer =
        SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
    EXPECT_EQ(PumpMessagesUntilQuit([] { return HWND{}; }), 3);
    KillTimer(nullptr, timer);
    EXPECT_EQ(RecordingWindow::received, (std::vector<UINT>{kFirst, kThird}));
}

// The dialog window is asked for before every message, so a window closed by one message gets
// no dialog keys from the next.
TEST(MessagePump, TheDialogIsAskedForBeforeEachMessage) {
    const RecordingWindow window;
    window.Post(kFirst);
    window.Post(kSecond);
    window.Post(kThird);
    int asked = 0;
    PumpPendingMessages([&asked] {
        ++asked;
        return HWND{};
    });
    EXPECT_EQ(asked, 3);
}

}  // namespace
}  // namespace foliomix::win32
