#include "merge/com/engine_session.h"

#include "merge/presentation_server.h"

namespace foliomix::com {

void OwnedPresentation::Close() {
    if (open_) {
        presentation_.Call(L"Close");
        open_ = false;
    }
}

void EngineSession::TurnAlertsOff(const LateBound& application) {
    if (!foundAlerts_) {
        foundAlerts_ = application.Get(L"DisplayAlerts");
    }
    application.Put(L"DisplayAlerts", _variant_t(false));
    alertsChanged_ = true;
}

void EngineSession::TurnAlertsOn(const LateBound& application) {
    application.Put(L"DisplayAlerts", foundAlerts_ ? *foundAlerts_ : _variant_t(true));
    alertsChanged_ = false;
}

void EngineSession::RestoreAlerts(const LateBound& application) {
    if (alertsChanged_) {
        TurnAlertsOn(application);
    }
}

std::shared_ptr<OwnedPresentation> EngineSession::Track(LateBound presentation) {
    std::erase_if(owned_, [](const auto& owned) { return !owned->IsOpen(); });
    owned_.push_back(std::make_shared<OwnedPresentation>(std::move(presentation)));
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

}  // namespace foliomix::com
