// The Windows engine adapter: Microsoft PowerPoint reached by COM late binding. Every member is
// called by name through IDispatch with positional arguments.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "merge/com/com_apartment.h"
#include "merge/presentation_server.h"

namespace foliomix::com {

class EngineSession;

// The engine is a single shared instance: it may hold the user's own presentations. Every
// object this server hands out closes only the presentations it created, quits the engine only
// when every presentation left in it is one of those (a close can fail), and puts
// DisplayAlerts back as it was found, on the application's own Quit and on the Quit reached
// through the global object alike. No failure leaves it as anything but ServerError.
class ComPresentationServer final : public PresentationServer {
  public:
    // The program identifier the engine is registered under.
    explicit ComPresentationServer(std::wstring progId = L"PowerPoint.application");

    [[nodiscard]] std::u16string_view DisplayName() const override;
    [[nodiscard]] std::unique_ptr<ServerApplication> CreateApplication() override;
    [[nodiscard]] std::unique_ptr<ServerGlobal> CreateGlobal() override;

  private:
    std::wstring progId_;
    std::shared_ptr<EngineSession> session_;
};

}  // namespace foliomix::com
