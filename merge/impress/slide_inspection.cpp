#include "merge/impress/slide_inspection.h"

#include <array>
#include <sstream>

#include "merge/impress/engine_basic.h"
#include "merge/impress/slide_inspection_basic.h"
#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;

namespace {

// Runs `function` of the inspection module; its answer is Array(failure, result), which
// reaches us as a sequence of two strings.
rtl::OUString Inspect(const EngineProcess& engine, std::string_view function,
                      const uno::Sequence<uno::Any>& arguments) {
    uno::Sequence<rtl::OUString> answer;
    if (!(CallBasic(engine, {"SlideInspection", kSlideInspectionBasic}, function, arguments) >>=
          answer) ||
        answer.getLength() != 2) {
        throw ServerError("reading the slides: " + std::string(function) + " gave no answer");
    }
    if (!answer[0].isEmpty()) {
        throw ServerError("reading the slides: " + ToUtf8(answer[0]));
    }
    return answer[1];
}

}  // namespace

std::u16string SlideText(const EngineProcess& engine, const OpenDocument& document,
                         sal_Int32 index) {
    const std::array<uno::Any, 2> arguments = {uno::Any(document.Component()), uno::Any(index)};
    return ToU16(
        Inspect(engine, "SlideText", {arguments.data(), static_cast<sal_Int32>(arguments.size())}));
}

std::vector<sal_Int32> SlidesHidingMasterShapes(const EngineProcess& engine,
                                                const OpenDocument& document) {
    const uno::Any argument(document.Component());
    std::istringstream indexes(ToUtf8(Inspect(engine, "SlidesHidingMasterShapes", {&argument, 1})));
    std::vector<sal_Int32> hiding;
    for (sal_Int32 index = 0; indexes >> index;) {
        hiding.push_back(index);
    }
    return hiding;
}

}  // namespace foliomix::impress
