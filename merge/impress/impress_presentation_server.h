// The Linux engine adapter: LibreOffice Impress, started headless with a private temporary
// user profile and driven over UNO. The engine process and the profile never outlive the
// objects that use them.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "merge/impress/call_waiter.h"
#include "merge/impress/engine_start.h"
#include "merge/impress/stuck_call_watch.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

class EngineProcess;

struct ImpressOptions {
    EngineStart start{};
    // When a pending call counts as stuck: the engine is then ended and the call fails.
    EngineLimits limits{};
};

// One engine process at a time: CreateApplication starts it when none runs; Quit on any
// application object (or on the global object's application) ends it, and so does destroying
// the server. Objects still held after the engine ended fail their calls with ServerError.
// Every call runs on the adapter's engine thread while the caller waits through the call
// waiter; a call that is stuck, or during which the waiter reports the window closed, ends the
// engine and fails.
class ImpressPresentationServer final : public PresentationServer {
  public:
    ImpressPresentationServer();
    explicit ImpressPresentationServer(ImpressOptions options);
    ~ImpressPresentationServer() override;
    ImpressPresentationServer(const ImpressPresentationServer&) = delete;
    ImpressPresentationServer& operator=(const ImpressPresentationServer&) = delete;

    [[nodiscard]] std::u16string_view DisplayName() const override;
    [[nodiscard]] std::unique_ptr<ServerApplication> CreateApplication() override;
    // Reaches the engine this server started, if one runs; it starts none: quitting an
    // engine that is not running has nothing to do.
    [[nodiscard]] std::unique_ptr<ServerGlobal> CreateGlobal() override;
    // The engine writes a lock file beside the file it saves, leaves it and a partial file when
    // it is killed, and fails when the lock's name would be too long or is another's.
    [[nodiscard]] bool SavesSafelyInPlace() const override { return false; }

    // How callers wait for engine calls from now on (null: they block). The waiter must
    // outlive every call, or be taken back with SetCallWaiter(nullptr) first.
    void SetCallWaiter(CallWaiter* waiter);

    // The running engine's process id and private profile folder (0 and empty when none);
    // for the tests and the benchmark, which check that both are gone afterwards.
    [[nodiscard]] int EngineProcessId() const;
    [[nodiscard]] std::filesystem::path EngineProfileDirectory() const;
    // The running engine itself (null when none), for the benchmark's lower bound measured in
    // the very process that merged.
    [[nodiscard]] const EngineProcess* RunningEngine() const;

    // The engine state shared with every object handed out (defined in the adapter only).
    struct Engine;

  private:
    ImpressOptions options_;
    std::shared_ptr<Engine> engine_;
};

}  // namespace foliomix::impress
