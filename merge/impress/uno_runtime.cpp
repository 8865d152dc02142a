#include "merge/impress/uno_runtime.h"

#include <mutex>

#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = com::sun::star::uno;

uno::Reference<uno::XComponentContext> LocalUnoContext(const std::filesystem::path& programDir) {
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (!context.is()) {
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
