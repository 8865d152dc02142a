// On Windows: Microsoft PowerPoint, through the COM adapter, in a single-threaded apartment of
// the thread that runs the merge. The engine is the user's one shared instance: the adapter
// closes only what it made and quits only an engine that holds nothing else.
#include "app/cli/engine_choice.h"
#include "merge/com/call_waiter.h"
#include "merge/com/com_apartment.h"
#include "merge/com/com_presentation_server.h"

namespace foliomix::cli {
namespace {

// The apartment's message filter asks it while an engine call is pending (a timer wakes the
// filter at least every tick): a stop request, set by the console's control handler on a
// thread of its own, cancels the call.
class StopWaiter final : public com::CallWaiter {
  public:
    explicit StopWaiter(const StopRequest& stop) : stop_(stop) {}

    // A console program has no window to keep alive; COM handles its own messages.
    void ProcessEvents() override {}
    [[nodiscard]] bool StopRequested() const override { return stop_.Requested(); }

  private:
    const StopRequest& stop_;
};

class PowerPointEngine final : public ConsoleEngine {
  public:
    explicit PowerPointEngine(const StopRequest& stop)
        : waiter_(stop), consulted_(apartment_.Consult(waiter_)) {}

    PresentationServer& Server() override { return server_; }

  private:
    // In this order: the server, and every engine reference it keeps, goes before the filter
    // stops asking the waiter, and the apartment is left last.
    StopWaiter waiter_;
    com::ComApartment apartment_;
    com::ComApartment::WaiterScope consulted_;
    com::ComPresentationServer server_;
};

}  // namespace

EngineChoice PlatformEngine() {
    return {.name = "Microsoft PowerPoint",
            .outputExtensions = {".ppt", ".pptx", ".odp", ".pdf"},
            .select = [](const std::optional<std::string>& requested) -> EngineSelection {
                if (requested) {
                    return {.program = {},
                            .problem = "--engine " + *requested +
                                       ": the installed Microsoft PowerPoint is the only engine "
                                       "here"};
                }
                return {};
            },
            // PowerPoint's saves are not known to need much memory.
            .saveWarning = {},
            .make = [](const StopRequest& stop,
                       const std::string& /*program*/) -> std::unique_ptr<ConsoleEngine> {
                return std::make_unique<PowerPointEngine>(stop);
            }};
}

}  // namespace foliomix::cli
