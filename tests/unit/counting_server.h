// A PresentationServer around another that counts the application and application-global
// objects handed out and not yet released: what a run still holds of the engine.
#pragma once

#include <memory>

#include "merge/presentation_server.h"

namespace foliomix::testing {

class CountingServer : public PresentationServer {
  public:
    explicit CountingServer(PresentationServer& inner) : inner_(inner) {}

    int liveApplications = 0;
    int liveGlobals = 0;

    [[nodiscard]] std::u16string_view DisplayName() const override { return inner_.DisplayName(); }
    std::unique_ptr<ServerApplication> CreateApplication() override;
    std::unique_ptr<ServerGlobal> CreateGlobal() override;

  private:
    PresentationServer& inner_;
};

}  // namespace foliomix::testing
