// The Linux engine adapter: LibreOffice Impress, started headless with a private temporary
// user profile and driven over UNO. The engine process and the profile never outlive the
// objects that use them.
#pragma once

#include <memory>
#include <string_view>

#include "merge/presentation_server.h"

namespace foliomix::impress {

class ImpressPresentationServer final : public PresentationServer {
  public:
    ImpressPresentationServer();
    ~ImpressPresentationServer() override;
    ImpressPresentationServer(const ImpressPresentationServer&) = delete;
    ImpressPresentationServer& operator=(const ImpressPresentationServer&) = delete;

    [[nodiscard]] std::u16string_view DisplayName() const override;
    [[nodiscard]] std::unique_ptr<ServerApplication> CreateApplication() override;
    [[nodiscard]] std::unique_ptr<ServerGlobal> CreateGlobal() override;

  private:
    struct Engine;
    std::shared_ptr<Engine> engine_;
};

}  // namespace foliomix::impress
