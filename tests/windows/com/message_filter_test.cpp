// The apartment's message filter: a busy engine is waited for, for a bounded time; a call it
// rejects outright is cancelled; the filter is in place while the apartment lives.
#include "merge/com/message_filter.h"

#include <gtest/gtest.h>

#include "merge/com/com_presentation_server.h"

namespace foliomix::com {
namespace {

struct RejectedCall {
    DWORD rejectType;
    DWORD elapsedMs;
    DWORD answer;
};

class RetryDecision : public ::testing::TestWithParam<RejectedCall> {};

TEST_P(RetryDecision, RetriesABusyEngineForABoundedTimeOnly) {
    EXPECT_EQ(RetryRejectedCallAnswer(GetParam().rejectType, GetParam().elapsedMs),
              GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Rejections, RetryDecision,
    ::testing::Values(RejectedCall{SERVERCALL_RETRYLATER, 0, kRetryPauseMs},
                      RejectedCall{SERVERCALL_RETRYLATER, kRetryBusyForMs - 1, kRetryPauseMs},
                      RejectedCall{SERVERCALL_RETRYLATER, kRetryBusyForMs, kCancelCall},
                      RejectedCall{SERVERCALL_RETRYLATER, 0xFFFFFFF0, kCancelCall},
                      RejectedCall{SERVERCALL_REJECTED, 0, kCancelCall},
                      RejectedCall{SERVERCALL_ISHANDLED, 0, kCancelCall}));

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
            EXPECT_EQ(filter->RetryRejectedCall(nullptr, 10, SERVERCALL_REJECTED), kCancelCall);
            EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
                      static_cast<DWORD>(SERVERCALL_ISHANDLED));
        });
    }
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    WithCurrentFilter([](IMessageFilter* filter) { EXPECT_EQ(filter, nullptr); });
    CoUninitialize();
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
