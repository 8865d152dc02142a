#include "tests/impress/deck_maker.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include "merge/impress/uno_strings.h"
#include "tests/support/files.h"

namespace foliomix::testing {

namespace css = com::sun::star;
namespace uno = css::uno;
using impress::Properties;
using impress::Property;

namespace {

constexpr sal_Int16 kBlankLayout = 20;

void Set(const uno::Reference<uno::XInterface>& object, const char* name, const uno::Any& value) {
    const uno::Reference<css::beans::XPropertySet> properties(object, uno::UNO_QUERY_THROW);
    properties->setPropertyValue(rtl::OUString::createFromAscii(name), value);
}

}  // namespace

DeckMaker::DeckMaker() : engine_(impress::EngineOptions{}) {}

void DeckMaker::Make(const std::filesystem::path& path, const std::vector<std::string>& titles,
                     impress::SlideSize size) {
    const impress::OpenDocument deck = impress::CreatePresentation(engine_);
    const auto slides = impress::Slides(deck);
    while (slides->getCount() < static_cast<sal_Int32>(titles.size())) {
        slides->insertNewByIndex(slides->getCount() - 1);
    }
    const uno::Reference<css::lang::XMultiServiceFactory> factory(deck.Component(),
                                                                  uno::UNO_QUERY_THROW);
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const uno::Reference<css::drawing::XDrawPage> slide(
            slides->getByIndex(static_cast<sal_Int32>(i)), uno::UNO_QUERY_THROW);
        Set(slide, "Width", uno::Any(size.width));
        Set(slide, "Height", uno::Any(size.height));
        Set(slide, "Layout", uno::Any(kBlankLayout));
        while (slide->getCount() > 0) {
            slide->remove(
                uno::Reference<css::drawing::XShape>(slide->getByIndex(0), uno::UNO_QUERY_THROW));
        }
        const uno::Reference<css::drawing::XShape> shape(
            factory->createInstance("com.sun.star.drawing.TextShape"), uno::UNO_QUERY_THROW);
        slide->add(shape);
        shape->setSize(css::awt::Size(size.width / 2, size.height / 6));
        shape->setPosition(css::awt::Point(size.width / 10, size.height / 10));
        uno::Reference<css::text::XTextRange>(shape, uno::UNO_QUERY_THROW)
            ->setString(impress::Utf8ToOUString(titles[i]));
    }
    const uno::Reference<css::frame::XStorable> storable(deck.Component(), uno::UNO_QUERY_THROW);
    storable->storeToURL(
        impress::FileUrlFromPath(path.u16string()),
        Properties({Property("FilterName", uno::Any(rtl::OUString("MS PowerPoint 97")))}));
}

SavedDeck DeckMaker::Read(const std::filesystem::path& path) {
    const impress::OpenDocument deck =
        impress::LoadPresentation(engine_, impress::FileUrlFromPath(path.u16string()));
    SavedDeck saved;
    for (const auto& slide : impress::SlideList(deck)) {
        const uno::Reference<css::beans::XPropertySet> properties(slide, uno::UNO_QUERY_THROW);
        bool visible = true;
        properties->getPropertyValue("Visible") >>= visible;
        if (!visible) {
            ++saved.hiddenSlides;
            continue;
        }
        std::string text;
        for (sal_Int32 i = 0; i < slide->getCount(); ++i) {
            const uno::Reference<css::text::XTextRange> range(slide->getByIndex(i), uno::UNO_QUERY);
            const std::string part = range.is() ? impress::ToUtf8(range->getString()) : "";
            if (!part.empty()) {
                text += text.empty() ? part : " " + part;
            }
        }
        saved.visibleSlides.push_back(text);
    }
    saved.size = impress::SizeOf(deck);
    return saved;
}

std::vector<int> ProcessesMentioning(const std::string& text) {
    std::vector<int> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string arguments = FileBytes(entry.path() / "cmdline");
        std::replace(arguments.begin(), arguments.end(), '\0', ' ');
        if (arguments.find(text) != std::string::npos) {
            found.push_back(std::stoi(name));
        }
    }
    return found;
}

bool ProcessAlive(int pid) {
    if (::kill(pid, 0) != 0) {
        return false;
    }
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("State:")) {
            return line.find('Z') == std::string::npos;
        }
    }
    return true;
}

int EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

}  // namespace foliomix::testing
