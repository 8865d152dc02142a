#include "merge/impress/document_parking.h"

#include <utility>

#include <com/sun/star/util/XCloseable.hpp>

namespace foliomix::impress {

namespace css = com::sun::star;
namespace uno = css::uno;

void CloseNow(const uno::Reference<css::lang::XComponent>& document) noexcept {
    if (!document.is()) {
        return;
    }
    try {
        const uno::Reference<css::util::XCloseable> closeable(document, uno::UNO_QUERY);
        if (closeable.is()) {
            closeable->close(true);
        } else {
            document->dispose();
        }
    } catch (const uno::Exception&) {
        // Gone with the engine, or vetoed: either way we hold it no longer.
    }
}

void DocumentParking::Close(const uno::Reference<css::lang::XComponent>& document) noexcept {
    uno::Reference<css::lang::XComponent> previous;
    {
        const std::lock_guard lock(mutex_);
        previous = std::exchange(parked_, document);
    }
    CloseNow(previous);
}

void DocumentParking::CloseParked() noexcept { Close({}); }

}  // namespace foliomix::impress
