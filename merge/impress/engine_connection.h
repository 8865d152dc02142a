// The UNO connection to an engine we start: the named pipe it accepts on, and the loop that
// connects through that pipe once the engine listens.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include <com/sun/star/datatransfer/clipboard/XSystemClipboard.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "merge/impress/kill_switch.h"

namespace foliomix::impress {

// What the adapter uses of a connected engine.
struct EngineConnection {
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> desktop;
    com::sun::star::uno::Reference<com::sun::star::frame::XDispatchHelper> dispatcher;
    com::sun::star::uno::Reference<com::sun::star::datatransfer::clipboard::XSystemClipboard>
        clipboard;
};

// A pipe name of this process's runs (PipeNamePrefix), never handed out twice.
[[nodiscard]] std::string UniquePipeName();

// Where the engine's runtime makes the socket of a named pipe, whatever TMPDIR says.
[[nodiscard]] std::filesystem::path EnginePipeFolder();

// soffice.bin's argument that makes it accept UNO connections on `pipeName`.
[[nodiscard]] std::string AcceptArgument(const std::string& pipeName);

// Connects through `pipeName` with the local runtime `local`, trying again until the engine
// accepts. Before each try it gives up with ServerError once `killSwitch` (may be null) has
// tripped, or when `engineRuns` says the engine has ended (it may start the engine again and
// say true); after a failed try, once `timeout` has passed. `connection` is filled as far as
// the connection got, also when it throws: a desktop reached can still end the engine.
void ConnectToEngine(
    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& local,
    const std::string& pipeName, std::chrono::milliseconds timeout, const KillSwitch* killSwitch,
    const std::function<bool()>& engineRuns, EngineConnection& connection);

}  // namespace foliomix::impress
