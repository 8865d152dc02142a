#include "merge/impress/impress_document.h"

#include <chrono>
#include <thread>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/framework/AnchorBindingMode.hpp>
#include <com/sun/star/drawing/framework/XConfiguration.hpp>
#include <com/sun/star/drawing/framework/XConfigurationController.hpp>
#include <com/sun/star/drawing/framework/XControllerManager.hpp>
#include <com/sun/star/drawing/framework/XResourceId.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>

#include "merge/impress/encrypted_file.h"
#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;
namespace framework = css::drawing::framework;

namespace {

constexpr std::string_view kSlideSorterView = "private:resource/view/SlideSorter";
constexpr std::string_view kNormalView = "private:resource/view/ImpressView";
constexpr std::string_view kCenterPane = "private:resource/pane/CenterPane";
// A view switch is queued and carried out by the engine's main thread. We only watch it:
// asking the configuration controller to update from a UNO thread deadlocks against that
// main thread. The bound is generous: a switch takes milliseconds.
constexpr auto kViewSwitchPoll = std::chrono::milliseconds(1);
constexpr auto kViewSwitchTimeout = std::chrono::seconds(20);
// The view factories Impress registers, by the number a load's "ViewId" selects.
constexpr sal_Int16 kNormalViewId = 1;
constexpr sal_Int16 kSlideSorterViewId = 2;

css::beans::PropertyValue ViewIdFor(StartView start) {
    return Property(
        "ViewId", uno::Any(start == StartView::kSlideSorter ? kSlideSorterViewId : kNormalViewId));
}

// The view shown in the center pane, by resource URL.
std::string CenterView(const uno::Reference<framework::XConfigurationController>& configuration) {
    const auto resources = configuration->getCurrentConfiguration()->getResources(
        {}, "", framework::AnchorBindingMode_INDIRECT);
    for (const auto& resource : resources) {
        const auto anchor = resource->getAnchor();
        if (anchor.is() && ToUtf8(anchor->getResourceURL()) == kCenterPane) {
            std::string url = ToUtf8(resource->getResourceURL());
            if (url.starts_with("private:resource/view/")) {
                return url;
            }
        }
    }
    return {};
}

void SwitchView(const EngineProcess& engine, const OpenDocument& document, std::string_view command,
                std::string_view wantedView) {
    OpenDocument::View& view = document.ViewOf();
    if (view.shown.empty()) {
        view.shown = CenterView(view.configuration);
    }
    if (view.shown == wantedView) {
        return;
    }
    view.shown.clear();
    Dispatch(engine, document, command);
    const auto deadline = std::chrono::steady_clock::now() + kViewSwitchTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        // The cheap question first; the configuration is read only once the queue is empty.
        if (!view.configuration->hasPendingRequests() &&
            CenterView(view.configuration) == wantedView) {
            view.shown = wantedView;
            return;
        }
        std::this_thread::sleep_for(kViewSwitchPoll);
    }
    throw ServerError("the view did not switch to " + std::string(wantedView));
}

}  // namespace

OpenDocument& OpenDocument::operator=(OpenDocument&& other) noexcept {
    if (this != &other) {
        Close();
        component_ = other.component_;
        other.component_.clear();
        parking_ = std::move(other.parking_);
        view_ = std::move(other.view_);
    }
    return *this;
}

OpenDocument::View& OpenDocument::ViewOf() const {
    if (!view_) {
        const uno::Reference<css::frame::XModel> model(component_, uno::UNO_QUERY_THROW);
        const uno::Reference<css::frame::XController> controller = model->getCurrentController();
        if (!controller.is()) {
            throw ServerError("the document has no view");
        }
        auto view = std::make_unique<View>();
        view->frame.set(controller->getFrame(), uno::UNO_QUERY_THROW);
        view->configuration =
            uno::Reference<framework::XControllerManager>(controller, uno::UNO_QUERY_THROW)
                ->getConfigurationController();
        view_ = std::move(view);
    }
    return *view_;
}

void OpenDocument::Close() noexcept {
    if (!component_.is()) {
        return;
    }
    view_.reset();
    if (const auto parking = parking_.lock()) {
        parking->Close(component_);
    } else {
        CloseNow(component_);
    }
    component_.clear();
}

css::beans::PropertyValue Property(std::string_view name, const uno::Any& value) {
    css::beans::PropertyValue property;
    property.Name = Utf8ToOUString(name);
    property.Value = value;
    return property;
}

uno::Sequence<css::beans::PropertyValue> Properties(
    std::initializer_list<css::beans::PropertyValue> properties) {
    return uno::Sequence<css::beans::PropertyValue>(properties.begin(),
                                                    static_cast<sal_Int32>(properties.size()));
}

OpenDocument CreatePresentation(const EngineProcess& engine) {
    try {
        OpenDocument document(engine.Desktop()->loadComponentFromURL(
                                  "private:factory/simpress", "_blank", 0,
                                  Properties({Property("Hidden", uno::Any(true))})),
                              engine.Parking());
        if (!document.IsOpen()) {
            throw ServerError("LibreOffice created no presentation");
        }
        return document;
    } catch (const uno::Exception& e) {
        throw ServerError("cannot create a presentation: " + ToUtf8(e.Message));
    }
}

OpenDocument LoadPresentation(const EngineProcess& engine, const rtl::OUString& url,
                              StartView start) {
    OpenDocument document;
    try {
        document = OpenDocument(
            engine.Desktop()->loadComponentFromURL(
                url, "_blank", 0,
                Properties({Property("Hidden", uno::Any(true)), ViewIdFor(start),
                            Property("AsTemplate", uno::Any(true)),
                            Property("MacroExecutionMode",
                                     uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)),
                            Property("UpdateDocMode",
                                     uno::Any(css::document::UpdateDocMode::NO_UPDATE))})),
            engine.Parking());
    } catch (const css::lang::DisposedException& e) {
        throw ServerError("cannot open " + ToUtf8(url) + ": " + ToUtf8(e.Message),
                          FailureKind::EngineStopped);
    } catch (const uno::Exception& e) {
        throw ServerError("cannot open " + ToUtf8(url) + ": " + ToUtf8(e.Message),
                          IsEncryptedFile(engine, url) ? FailureKind::PasswordProtected
                                                       : FailureKind::NotAPresentation);
    }
    if (!document.IsOpen()) {
        throw ServerError("cannot open " + ToUtf8(url), IsEncryptedFile(engine, url)
                                                            ? FailureKind::PasswordProtected
                                                            : FailureKind::NotAPresentation);
    }
    const uno::Reference<css::lang::XServiceInfo> info(document.Component(), uno::UNO_QUERY);
    if (!info.is() || !info->supportsService("com.sun.star.presentation.PresentationDocument")) {
        throw ServerError("not a presentation: " + ToUtf8(url), FailureKind::NotAPresentation);
    }
    return document;
}

uno::Reference<css::drawing::XDrawPages> Slides(const OpenDocument& document) {
    const uno::Reference<css::drawing::XDrawPagesSupplier> supplier(document.Component(),
                                                                    uno::UNO_QUERY_THROW);
    return supplier->getDrawPages();
}

std::vector<uno::Reference<css::drawing::XDrawPage>> SlideList(const OpenDocument& document) {
    const auto slides = Slides(document);
    const sal_Int32 count = slides->getCount();
    std::vector<uno::Reference<css::drawing::XDrawPage>> list;
    list.reserve(static_cast<std::size_t>(count));
    for (sal_Int32 i = 0; i < count; ++i) {
        list.emplace_back(slides->getByIndex(i), uno::UNO_QUERY_THROW);
    }
    return list;
}

SlideSize SizeOf(const OpenDocument& document) {
    const uno::Reference<css::beans::XPropertySet> first(Slides(document)->getByIndex(0),
                                                         uno::UNO_QUERY_THROW);
    SlideSize size;
    first->getPropertyValue("Width") >>= size.width;
    first->getPropertyValue("Height") >>= size.height;
    return size;
}

void Dispatch(const EngineProcess& engine, const OpenDocument& document, std::string_view command,
              const uno::Sequence<css::beans::PropertyValue>& arguments) {
    engine.Dispatcher()->executeDispatch(document.ViewOf().frame, Utf8ToOUString(command), "", 0,
                                         arguments);
}

void ShowSlideSorter(const EngineProcess& engine, const OpenDocument& document) {
    SwitchView(engine, document, ".uno:DiaMode", kSlideSorterView);
}

void ShowNormalView(const EngineProcess& engine, const OpenDocument& document) {
    SwitchView(engine, document, ".uno:NormalMultiPaneGUI", kNormalView);
}

}  // namespace foliomix::impress
