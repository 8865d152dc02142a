#include "merge/impress/load_interactions.h"

#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>

namespace foliomix::impress {

namespace css = com::sun::star;
namespace uno = css::uno;

void LoadInteractions::handle(const uno::Reference<css::task::XInteractionRequest>& request) {
    // Every kind of password request (a document's, a file's of another format) is a
    // PasswordRequest.
    if (request->getRequest().isExtractableTo(cppu::UnoType<css::task::PasswordRequest>::get())) {
        passwordAsked_ = true;
    }
    for (const auto& continuation : request->getContinuations()) {
        const uno::Reference<css::task::XInteractionAbort> abort(continuation, uno::UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

}  // namespace foliomix::impress
