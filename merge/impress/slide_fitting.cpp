#include "merge/impress/slide_fitting.h"

#include <algorithm>
#include <array>
#include <string>

#include "merge/impress/engine_basic.h"
#include "merge/impress/slide_fitting_basic.h"
#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;

SlideFit FitOf(SlideSize from, SlideSize to) {
    if (from.width <= 0 || from.height <= 0) {
        return {};
    }
    SlideFit fit;
    fit.scale = std::min(static_cast<double>(to.width) / from.width,
                         static_cast<double>(to.height) / from.height);
    fit.offsetX = (to.width - from.width * fit.scale) / 2;
    fit.offsetY = (to.height - from.height * fit.scale) / 2;
    return fit;
}

void FitSlides(const EngineProcess& engine, const OpenDocument& document, SlideSize size) {
    const SlideSize from = SizeOf(document);
    if (from == size) {
        return;
    }
    const SlideFit fit = FitOf(from, size);
    const std::array<uno::Any, 6> arguments = {
        uno::Any(document.Component()), uno::Any(size.width),
        uno::Any(size.height),          uno::Any(fit.scale),
        uno::Any(fit.offsetX),          uno::Any(fit.offsetY)};
    rtl::OUString failure;
    if (!(CallBasic(engine, {"SlideFitting", kSlideFittingBasic}, "FitSlides",
                    {arguments.data(), static_cast<sal_Int32>(arguments.size())}) >>= failure) ||
        !failure.isEmpty()) {
        throw ServerError("fitting the slides: " + ToUtf8(failure));
    }
}

}  // namespace foliomix::impress
