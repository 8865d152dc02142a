#include "merge/impress/engine_termination.h"

#include <signal.h>

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <system_error>
#include <thread>

#include "merge/impress/engine_leftovers.h"

namespace foliomix::impress {

namespace uno = com::sun::star::uno;

bool TerminateEngine(const uno::Reference<com::sun::star::frame::XDesktop2>& desktop,
                     pid_t group) noexcept {
    // An engine that hangs is killed meanwhile: that takes the bridge down, which ends the
    // call. The caller has not reaped the leader, so its process group cannot be anyone
    // else's before the watch ends.
    std::mutex mutex;
    std::condition_variable_any finished;
    std::jthread watch([&, group](const std::stop_token& stop) {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, stop, kTerminateTimeout, [] { return false; }) &&
            !stop.stop_requested() && group > 0) {
            ::kill(-group, SIGKILL);
        }
    });
    try {
        return desktop->terminate();
    } catch (const uno::Exception&) {
        // The bridge goes down while the engine ends: that is the expected answer.
        return true;
    }
}

void RemoveEngineSockets(const std::filesystem::path& pipeFolder, std::string_view pipeName,
                         const std::filesystem::path& singleInstanceSocket) noexcept {
    std::error_code ignored;
    std::filesystem::remove(PipeSocketPath(pipeFolder, pipeName), ignored);
    if (!singleInstanceSocket.empty()) {
        std::filesystem::remove(singleInstanceSocket, ignored);
    }
}

}  // namespace foliomix::impress
