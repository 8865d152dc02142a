#include "merge/impress/uno_runtime.h"

#include <signal.h>

#include <mutex>

#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = com::sun::star::uno;

namespace {

// The bridge writes to an engine's pipe on threads of its own, releases included, which may
// come after the engine has ended: such a write must fail with EPIPE, not end this process by
// SIGPIPE (halfway through ending the engine and removing its profile). A handler of the
// program's own is left alone; the engines we start get every signal back at its default.
void IgnoreBrokenPipes() {
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, nullptr);
    }
}

}  // namespace

uno::Reference<uno::XComponentContext> LocalUnoContext(const std::filesystem::path& programDir) {
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (!context.is()) {
        IgnoreBrokenPipes();
        rtl::Bootstrap::set(
            "URE_BOOTSTRAP",
            "vnd.sun.star.pathname:" + Utf8ToOUString((programDir / "fundamentalrc").string()));
        try {
            context = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const cppu::BootstrapException& e) {
            throw ServerError("UNO runtime: " + ToUtf8(e.getMessage()));
        } catch (const uno::Exception& e) {
            throw ServerError("UNO runtime: " + ToUtf8(e.Message));
        }
    }
    return context;
}

}  // namespace foliomix::impress
