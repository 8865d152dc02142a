// A PresentationServer that passes every call on to another one and first tells a test which
// call is coming, so that the test can act as the user while the engine works: read the
// window's status text, or close the window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "merge/presentation_server.h"

namespace foliomix::testing {

class HookedServer : public PresentationServer {
  public:
    explicit HookedServer(PresentationServer& inner) : inner_(inner) {}

    // Called before each call with its name: "CreateApplication", "CreateGlobal",
    // "app.SetDisplayAlerts", "app.AddPresentation", "app.Quit", "global.Application",
    // "pres.SlideCount", "pres.InsertFromFile", "pres.SaveAs".
    std::function<void(const std::string& call)> beforeCall;

    [[nodiscard]] std::u16string_view DisplayName() const override { return inner_.DisplayName(); }
    std::unique_ptr<ServerApplication> CreateApplication() override;
    std::unique_ptr<ServerGlobal> CreateGlobal() override;

    void Before(const std::string& call) const {
        if (beforeCall) {
            beforeCall(call);
        }
    }

  private:
    PresentationServer& inner_;
};

}  // namespace foliomix::testing
