#include "merge/com/engine_session.h"

#include <algorithm>
#include <type_traits>

#include "merge/presentation_server.h"

namespace foliomix::com {

static_assert(std::is_nothrow_move_constructible_v<LateBound>,
              "adopting a presentation must not fail once the engine has made it");

namespace {

// DisplayAlerts as the engine's alert level (PpAlertLevel).
constexpr long kAlertsNone = 1;
constexpr long kAlertsAll = 2;

// The codes with which an engine that types DisplayAlerts as its alert level refuses a Boolean:
// by type before the call, or by value when the Boolean was converted to a number first.
bool RefusedForItsType(HRESULT code) {
    switch (code) {
        case DISP_E_TYPEMISMATCH:
        case DISP_E_BADVARTYPE:
        case DISP_E_PARAMNOTFOUND:
        case E_INVALIDARG:
            return true;
        default:
            return false;
    }
}

// Writes DisplayAlerts as a Boolean, and as the alert level when the engine refuses that type;
// any other failure, or a failure of the second write, is thrown.
void PutAlerts(const LateBound& application, bool on) {
    try {
        application.Put(L"DisplayAlerts", _variant_t(on));
    } catch (const CallError& error) {
        if (!RefusedForItsType(error.Code())) {
            throw;
        }
        application.Put(L"DisplayAlerts", _variant_t(on ? kAlertsAll : kAlertsNone));
    }
}

}  // namespace

void OwnedPresentation::Adopt(LateBound presentation) noexcept {
    presentation_.emplace(std::move(presentation));
    open_ = true;
}

void OwnedPresentation::Close() {
    if (open_) {
        presentation_->Call(L"Close");
        open_ = false;
    }
}

void EngineSession::TurnAlertsOff(const LateBound& application) {
    if (!foundAlerts_) {
        // Taken over, not copied: a copy of a VARIANT can fail.
        _variant_t found = application.Get(L"DisplayAlerts");
        foundAlerts_.emplace();
        foundAlerts_->Attach(found);
    }
    try {
        PutAlerts(application, false);
    } catch (const CallError& error) {
        // A put the engine refused changed nothing. One cancelled while pending (at the call
        // limit, or at the window's close) goes on in the engine and may still take effect:
        // what was found is put back then.
        if (error.Code() == RPC_E_CALL_CANCELED) {
            alertsChanged_ = true;
        }
        throw;
    }
    alertsChanged_ = true;
}

void EngineSession::TurnAlertsOn(const LateBound& application) {
    if (foundAlerts_) {
        // Exactly what was read, in the type the engine gave it.
        application.Put(L"DisplayAlerts", *foundAlerts_);
    } else {
        PutAlerts(application, true);
    }
    alertsChanged_ = false;
}

void EngineSession::RestoreAlerts(const LateBound& application) {
    if (alertsChanged_) {
        TurnAlertsOn(application);
    }
}

std::shared_ptr<OwnedPresentation> EngineSession::Reserve() {
    std::erase_if(owned_, [](const auto& owned) { return !owned->IsOpen(); });
    owned_.push_back(std::make_shared<OwnedPresentation>());
    return owned_.back();
}

void EngineSession::CloseOwned() {
    std::optional<ServerError> failure;
    for (const auto& owned : owned_) {
        try {
            owned->Close();
        } catch (const ServerError& error) {
            if (!failure) {
                failure = error;
            }
        }
    }
    std::erase_if(owned_, [](const auto& owned) { return !owned->IsOpen(); });
    if (failure) {
        throw *failure;
    }
}

bool EngineSession::HoldsOnlyOwned(const LateBound& application) const {
    const LateBound presentations = application.Child(L"Presentations");
    const long count = ResultLong(presentations.Get(L"Count"), L"Application.Presentations.Count");
    if (count < 0) {
        ThrowServerError(L"Application.Presentations.Count", DISP_E_OVERFLOW, L"(negative)");
    }
    const auto open = static_cast<std::size_t>(std::count_if(
        owned_.begin(), owned_.end(), [](const auto& owned) { return owned->IsOpen(); }));
    if (static_cast<std::size_t>(count) > open) {
        return false;  // more presentations than we have open: at least one is someone else's
    }
    std::vector<ComPtr<IUnknown>> ours;
    for (const auto& owned : owned_) {
        if (owned->IsOpen()) {
            ours.push_back(owned->Object().Identity());
        }
    }
    for (long index = 1; index <= count; ++index) {
        const ComPtr<IUnknown> held = ResultObject(presentations.Call(L"Item", {_variant_t(index)}),
                                                   IID_IDispatch, L"Presentation")
                                          .Identity();
        if (std::none_of(ours.begin(), ours.end(),
                         [&held](const auto& own) { return own.Get() == held.Get(); })) {
            return false;
        }
    }
    return true;
}

void EngineSession::EngineEnded() noexcept {
    for (const auto& owned : owned_) {
        owned->Forget();
    }
    owned_.clear();
}

}  // namespace foliomix::com
