// On Linux: LibreOffice Impress, through the Impress adapter.
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "app/cli/engine_choice.h"
#include "app/cli/input_files.h"
#include "app/cli/save_memory.h"
#include "merge/impress/call_waiter.h"
#include "merge/impress/engine_location.h"
#include "merge/impress/impress_presentation_server.h"

namespace foliomix::cli {
namespace {

using namespace std::chrono_literals;

// How often a wait looks at the stop request: a signal handler cannot wake a waiting thread.
constexpr auto kStopLookInterval = 20ms;

// Waits for the engine thread's calls; a stop request makes the adapter end the engine.
class StopWaiter final : public impress::CallWaiter {
  public:
    explicit StopWaiter(const StopRequest& stop) : stop_(stop) {}

    void WaitAtMost(std::chrono::milliseconds slice) override {
        const auto deadline = std::chrono::steady_clock::now() + slice;
        std::unique_lock lock(mutex_);
        while (!woken_ && !stop_.Requested() && std::chrono::steady_clock::now() < deadline) {
            wakes_.wait_until(
                lock, std::min(deadline, std::chrono::steady_clock::now() + kStopLookInterval));
        }
        woken_ = false;
    }

    void Wake() override {
        {
            const std::lock_guard lock(mutex_);
            woken_ = true;
        }
        wakes_.notify_all();
    }

    [[nodiscard]] bool StopRequested() const override { return stop_.Requested(); }

  private:
    const StopRequest& stop_;
    std::mutex mutex_;
    std::condition_variable wakes_;
    // A wake that comes before the wait it ends is kept for it.
    bool woken_ = false;
};

class ImpressEngine final : public ConsoleEngine {
  public:
    ImpressEngine(const StopRequest& stop, const std::string& program)
        : waiter_(stop), server_(impress::ImpressOptions{.start = {.program = program}}) {
        server_.SetCallWaiter(&waiter_);
    }
    ~ImpressEngine() override { server_.SetCallWaiter(nullptr); }
    ImpressEngine(const ImpressEngine&) = delete;
    ImpressEngine& operator=(const ImpressEngine&) = delete;

    PresentationServer& Server() override { return server_; }

  private:
    // Declared first: the server, and every call it makes, ends before the waiter goes.
    StopWaiter waiter_;
    impress::ImpressPresentationServer server_;
};

}  // namespace

EngineChoice PlatformEngine() {
    return {.name = "LibreOffice Impress",
            .outputExtensions = {".ppt", ".pptx", ".odp", ".pdf"},
            .select = [](const std::optional<std::string>& requested) -> EngineSelection {
                std::string given = requested.value_or("");
                const char* variable = std::getenv(impress::kEngineVariable);
                if (!requested && variable != nullptr) {
                    given = variable;
                }
                if (!requested && given.empty()) {
                    return {};
                }
                const auto engine = impress::EngineNamedBy(PathFromUtf8(given));
                if (!engine) {
                    return {.program = {},
                            .problem =
                                (requested ? given
                                           : std::string(impress::kEngineVariable) + "=" + given) +
                                ": not a LibreOffice engine (name its soffice or its "
                                "program folder)"};
                }
                return {.program = engine->string(), .problem = {}};
            },
            .saveWarning = [](std::string_view extension, std::int64_t slides) -> std::string {
                if (extension != ".pptx") {
                    return {};
                }
                return LargeSaveWarning(extension, slides, kPptxBytesPerSlide, AvailableMemory());
            },
            .make = [](const StopRequest& stop,
                       const std::string& program) -> std::unique_ptr<ConsoleEngine> {
                return std::make_unique<ImpressEngine>(stop, program);
            }};
}

}  // namespace foliomix::cli
