#include "merge/impress/engine_connection.h"

#include <atomic>
#include <random>
#include <thread>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/datatransfer/clipboard/SystemClipboard.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>

#include "merge/impress/engine_leftovers.h"
#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = com::sun::star::uno;
namespace bridge = com::sun::star::bridge;
namespace frame = com::sun::star::frame;
namespace clipboard = com::sun::star::datatransfer::clipboard;

namespace {

// The connection both ends name: a pipe, the URP protocol, the engine's component context.
std::string ConnectionOf(const std::string& pipeName) {
    return "pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext";
}

}  // namespace

std::string UniquePipeName() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    return PipeNamePrefix() + std::to_string(++counter) + "_" + std::to_string(random());
}

std::filesystem::path EnginePipeFolder() { return "/tmp"; }

std::string AcceptArgument(const std::string& pipeName) {
    return "--accept=" + ConnectionOf(pipeName);
}

void ConnectToEngine(const uno::Reference<uno::XComponentContext>& local,
                     const std::string& pipeName, std::chrono::milliseconds timeout,
                     const KillSwitch* killSwitch, const std::function<bool()>& engineRuns,
                     EngineConnection& connection) {
    const auto resolver = bridge::UnoUrlResolver::create(local);
    const rtl::OUString url = Utf8ToOUString("uno:" + ConnectionOf(pipeName));
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (killSwitch != nullptr && killSwitch->Trips() > 0) {
            throw ServerError("the start was abandoned: " + killSwitch->Reason());
        }
        if (!engineRuns()) {
            throw ServerError("LibreOffice ended before it accepted the connection");
        }
        try {
            connection.context.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
            connection.desktop = frame::Desktop::create(connection.context);
            connection.dispatcher = frame::DispatchHelper::create(connection.context);
            connection.clipboard = clipboard::SystemClipboard::create(connection.context);
            return;
        } catch (const com::sun::star::connection::NoConnectException&) {
            // Not accepting yet.
        } catch (const uno::Exception& e) {
            throw ServerError("cannot connect to LibreOffice: " + ToUtf8(e.Message));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw ServerError("LibreOffice did not accept the connection in time");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace foliomix::impress
