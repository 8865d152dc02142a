// The apartment's message filter: a busy engine is waited for, for a bounded time; a call it
// rejects outright is cancelled; a pending call is cancelled at the call limit, and when the
// user closes the window; the filter is in place while the apartment lives.
#include "merge/com/message_filter.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "merge/com/call_ticker.h"
#include "merge/com/com_presentation_server.h"

namespace foliomix::com {
namespace {

struct RejectedCall {
    DWORD rejectType;
    DWORD elapsedMs;
    DWORD answer;
    bool stopRequested = false;
};

class RetryDecision : public ::testing::TestWithParam<RejectedCall> {};

TEST_P(RetryDecision, RetriesABusyEngineForABoundedTimeOnly) {
    EXPECT_EQ(RetryRejectedCallAnswer(GetParam().rejectType, GetParam().elapsedMs,
                                      GetParam().stopRequested),
              GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Rejections, RetryDecision,
    ::testing::Values(RejectedCall{SERVERCALL_RETRYLATER, 0, kRetryPauseMs},
                      RejectedCall{SERVERCALL_RETRYLATER, kRetryBusyForMs - 1, kRetryPauseMs},
                      RejectedCall{SERVERCALL_RETRYLATER, kRetryBusyForMs, kCancelCall},
                      RejectedCall{SERVERCALL_RETRYLATER, 0xFFFFFFF0, kCancelCall},
                      RejectedCall{SERVERCALL_REJECTED, 0, kCancelCall},
                      RejectedCall{SERVERCALL_ISHANDLED, 0, kCancelCall},
                      // After the close a busy engine is not waited for.
                      RejectedCall{SERVERCALL_RETRYLATER, 0, kCancelCall, true}));

struct PendingCallCase {
    const char* name;
    DWORD elapsedMs;
    Caller caller;
    DWORD callLimitMs;
    bool cancel;
};

void PrintTo(const PendingCallCase& tested, std::ostream* out) { *out << tested.name; }

class CancelDecision : public ::testing::TestWithParam<PendingCallCase> {};

TEST_P(CancelDecision, CancelsAtTheLimitAndWhenTheWindowIsClosed) {
    const PendingCallCase& tested = GetParam();
    EXPECT_EQ(CancelPendingCall(tested.elapsedMs, tested.caller, tested.callLimitMs),
              tested.cancel);
}

INSTANTIATE_TEST_SUITE_P(
    CancelDecisions, CancelDecision,
    ::testing::Values(
        PendingCallCase{"JustBelowTheLimit", kCallLimitMs - 1, Caller::Waiting, kCallLimitMs,
                        false},
        PendingCallCase{"AtTheLimit", kCallLimitMs, Caller::Waiting, kCallLimitMs, true},
        PendingCallCase{"FarPastTheLimit", 0xFFFFFFF0, Caller::Waiting, kCallLimitMs, true},
        PendingCallCase{"AtAShortenedLimit", 400, Caller::Waiting, 400, true},
        // The call the close interrupts ends at once, however young.
        PendingCallCase{"InterruptedByTheClose", 0, Caller::JustStopped, kCallLimitMs, true},
        // A call of the shutdown gets its short time, no more.
        PendingCallCase{"ShutdownCallWithinItsTime", kCallAfterCloseMs - 1, Caller::Stopped,
                        kCallLimitMs, false},
        PendingCallCase{"ShutdownCallPastItsTime", kCallAfterCloseMs, Caller::Stopped, kCallLimitMs,
                        true},
        PendingCallCase{"ShutdownCallPastALimitShorterThanItsTime", 100, Caller::Stopped, 100,
                        true}),
    [](const ::testing::TestParamInfo<PendingCallCase>& tested) {
        return std::string(tested.param.name);
    });

// The program's side of a pending call: counts the filter's looks; can be told to stop, or to
// fail.
class CountingWaiter final : public CallWaiter {
  public:
    void ProcessEvents() override {
        ++looks;
        if (fails) {
            throw std::runtime_error("the window failed");
        }
    }
    [[nodiscard]] bool StopRequested() const override { return stop; }

    int looks = 0;
    bool stop = false;
    bool fails = false;
};

DWORD Pending(const Microsoft::WRL::ComPtr<EngineCallFilter>& filter, DWORD elapsedMs) {
    return filter->MessagePending(nullptr, elapsedMs, PENDINGTYPE_TOPLEVEL);
}

TEST(EngineCallFilter, CancelsTheCallTheCloseInterruptsAtOnceAndGivesTheShutdownItsTime) {
    const auto filter = MakeEngineCallFilter(1000);
    CountingWaiter waiter;
    filter->SetWaiter(&waiter);
    // The window handles its messages itself: COM is told not to process them again.
    EXPECT_EQ(Pending(filter, 10), static_cast<DWORD>(PENDINGMSG_WAITNOPROCESS));
    EXPECT_EQ(Pending(filter, 1000), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    waiter.stop = true;
    EXPECT_EQ(Pending(filter, 0), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    EXPECT_EQ(Pending(filter, 0), static_cast<DWORD>(PENDINGMSG_WAITNOPROCESS));
    EXPECT_EQ(Pending(filter, kCallAfterCloseMs), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), kCancelCall);
    EXPECT_EQ(waiter.looks, 5);
    // A new waiter, a new window: its first stop interrupts a call again.
    CountingWaiter next;
    filter->SetWaiter(&next);
    EXPECT_EQ(Pending(filter, 0), static_cast<DWORD>(PENDINGMSG_WAITNOPROCESS));
    next.stop = true;
    EXPECT_EQ(Pending(filter, 0), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
}

TEST(EngineCallFilter, WithoutAWaiterLeavesTheMessagesToComAndStillLimitsTheCall) {
    const auto filter = MakeEngineCallFilter(1000);
    EXPECT_EQ(Pending(filter, 999), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(Pending(filter, 1000), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), kRetryPauseMs);
}

TEST(EngineCallFilter, AWaiterThatFailsEndsTheCallAndNothingReachesCom) {
    const auto filter = MakeEngineCallFilter(1000);
    CountingWaiter waiter;
    waiter.fails = true;
    filter->SetWaiter(&waiter);
    EXPECT_EQ(Pending(filter, 0), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
}

TEST(EngineCallFilter, DropsItsOwnTicksAndLeavesEveryOtherMessage) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's message queue
    constexpr UINT kOther = WM_APP + 1;
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), kCallTickMessage, 0, 0));
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), kOther, 0, 0));
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), kCallTickMessage, 0, 0));
    const auto filter = MakeEngineCallFilter(1000);
    EXPECT_EQ(Pending(filter, 0), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, kCallTickMessage, kCallTickMessage, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, kOther, kOther, PM_REMOVE));
}

// The ticker wakes the calling thread while it lives, and not after.
TEST(CallTickerTest, PostsTicksToItsThreadWhileItLives) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    int ticks = 0;
    {
        const CallTicker ticker;
        const DWORD end = GetTickCount() + 10 * kCallTickMs;
        while (GetTickCount() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, kCallTickMs, QS_POSTMESSAGE);
            while (PeekMessageW(&msg, nullptr, kCallTickMessage, kCallTickMessage, PM_REMOVE)) {
                EXPECT_EQ(msg.hwnd, nullptr);
                ++ticks;
            }
        }
    }
    EXPECT_GE(ticks, 3);
    while (PeekMessageW(&msg, nullptr, kCallTickMessage, kCallTickMessage, PM_REMOVE)) {
    }
    Sleep(3 * kCallTickMs);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, kCallTickMessage, kCallTickMessage, PM_REMOVE));
}

TEST(RetryDecision, APauseIsLongEnoughToBeAWaitNotAnImmediateRetry) {
    // RetryRejectedCall answers below 100 mean "retry at once", which spins on a busy engine.
    EXPECT_GE(kRetryPauseMs, 100U);
    EXPECT_LT(kRetryPauseMs, kRetryBusyForMs);
}

// The filter that the thread has while `body` runs; the registration is restored afterwards.
template <typename Body>
void WithCurrentFilter(Body body) {
    Microsoft::WRL::ComPtr<IMessageFilter> current;
    ASSERT_EQ(CoRegisterMessageFilter(nullptr, current.ReleaseAndGetAddressOf()), S_OK);
    body(current.Get());
    Microsoft::WRL::ComPtr<IMessageFilter> none;
    CoRegisterMessageFilter(current.Get(), none.ReleaseAndGetAddressOf());
}

TEST(ComApartmentFilter, IsRegisteredWhileTheApartmentLivesAndRemovedAfter) {
    {
        ComApartment apartment;
        WithCurrentFilter([](IMessageFilter* filter) {
            ASSERT_NE(filter, nullptr);
            EXPECT_EQ(filter->RetryRejectedCall(nullptr, 10, SERVERCALL_RETRYLATER), kRetryPauseMs);
            EXPECT_EQ(filter->MessagePending(nullptr, kCallLimitMs, PENDINGTYPE_TOPLEVEL),
                      static_cast<DWORD>(PENDINGMSG_CANCELCALL));
            EXPECT_EQ(filter->RetryRejectedCall(nullptr, 10, SERVERCALL_REJECTED), kCancelCall);
            EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
                      static_cast<DWORD>(SERVERCALL_ISHANDLED));
        });
    }
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    WithCurrentFilter([](IMessageFilter* filter) { EXPECT_EQ(filter, nullptr); });
    CoUninitialize();
}

TEST(ComApartmentFilter, TakesItsCallLimitAndItsWaiterForTheScopeOnly) {
    ComApartment apartment(300);
    CountingWaiter waiter;
    WithCurrentFilter([&](IMessageFilter* filter) {
        ASSERT_NE(filter, nullptr);
        EXPECT_EQ(filter->MessagePending(nullptr, 300, PENDINGTYPE_TOPLEVEL),
                  static_cast<DWORD>(PENDINGMSG_CANCELCALL));
        {
            const auto consulted = apartment.Consult(waiter);
            waiter.stop = true;
            EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL),
                      static_cast<DWORD>(PENDINGMSG_CANCELCALL));
        }
        EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL),
                  static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    });
    EXPECT_EQ(waiter.looks, 1);
}

TEST(ComApartmentFilter, AnInnerApartmentPutsTheOuterFilterBack) {
    ComApartment outer;
    IMessageFilter* outerFilter = nullptr;
    WithCurrentFilter([&](IMessageFilter* filter) { outerFilter = filter; });
    ASSERT_NE(outerFilter, nullptr);
    {
        ComApartment inner;
        WithCurrentFilter([&](IMessageFilter* filter) { EXPECT_NE(filter, outerFilter); });
    }
    WithCurrentFilter([&](IMessageFilter* filter) { EXPECT_EQ(filter, outerFilter); });
}

}  // namespace
}  // namespace foliomix::com
