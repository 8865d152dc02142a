// The apartment's message filter: while the engine is busy it rejects incoming calls with
// SERVERCALL_RETRYLATER; the filter has COM retry such a call for a bounded time instead of
// failing it at once. A call rejected outright (SERVERCALL_REJECTED) is cancelled.
#pragma once

#include <objidl.h>
#include <windows.h>
#include <wrl/client.h>

namespace foliomix::com {

// How long a busy engine is waited for, and the pause between two tries.
inline constexpr DWORD kRetryBusyForMs = 60'000;
inline constexpr DWORD kRetryPauseMs = 250;
// RetryRejectedCall's answer that cancels the call.
inline constexpr DWORD kCancelCall = 0xFFFFFFFF;

// IMessageFilter::RetryRejectedCall's decision: the pause in milliseconds before COM tries the
// call again (100 or more), or kCancelCall.
[[nodiscard]] DWORD RetryRejectedCallAnswer(DWORD rejectType, DWORD elapsedMs);

[[nodiscard]] Microsoft::WRL::ComPtr<IMessageFilter> MakeRetryingMessageFilter();

}  // namespace foliomix::com
