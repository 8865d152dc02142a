// What the adapter does with one loaded Impress document over UNO: load and close it, read
// its slides, run dispatcher commands on its view and wait until view switches are done.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/framework/XConfigurationController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/lang/XComponent.hpp>

#include "merge/impress/document_parking.h"
#include "merge/impress/engine_process.h"

namespace foliomix::impress {

namespace css = com::sun::star;

// An open document of the engine, closed when the object is destroyed.
class OpenDocument {
  public:
    OpenDocument() = default;
    // UNO's references have no move: they are copied, which counts one more reference. Closed
    // through `parking` while that lives (see DocumentParking), else at once.
    OpenDocument(const css::uno::Reference<css::lang::XComponent>& component,
                 std::weak_ptr<DocumentParking> parking)
        : component_(component), parking_(std::move(parking)) {}
    ~OpenDocument() { Close(); }
    OpenDocument(OpenDocument&& other) noexcept { *this = std::move(other); }
    OpenDocument& operator=(OpenDocument&& other) noexcept;
    OpenDocument(const OpenDocument&) = delete;
    OpenDocument& operator=(const OpenDocument&) = delete;

    [[nodiscard]] const css::uno::Reference<css::lang::XComponent>& Component() const {
        return component_;
    }
    [[nodiscard]] bool IsOpen() const { return component_.is(); }
    // Closes without saving, once the next document of its engine is closed (see
    // DocumentParking); a failure (the engine already gone) is ignored.
    void Close() noexcept;

    // The document's one view, fetched once: every remote call costs a round trip.
    struct View {
        css::uno::Reference<css::frame::XDispatchProvider> frame;
        css::uno::Reference<css::drawing::framework::XConfigurationController> configuration;
        // The main view as this adapter last saw or made it; empty while a switch is pending.
        std::string shown;
    };
    [[nodiscard]] View& ViewOf() const;

  private:
    css::uno::Reference<css::lang::XComponent> component_;
    std::weak_ptr<DocumentParking> parking_;
    mutable std::unique_ptr<View> view_;
};

// The main view a document is opened in. Opening straight into the slide sorter costs about
// what the normal view does and saves the switch a slide copy needs.
enum class StartView { kNormal, kSlideSorter };

// A new, empty presentation (the engine gives it one slide), in the normal view: asking for
// another view of a new document brings the engine down.
[[nodiscard]] OpenDocument CreatePresentation(const EngineProcess& engine);
// `url` loaded hidden, macros off, as an untitled copy: it can be changed (scaled) without
// touching the file, and no lock file is left beside it. Throws ServerError when the engine cannot
// load it or it is not a presentation (anything else is closed again first).
[[nodiscard]] OpenDocument LoadPresentation(const EngineProcess& engine, const rtl::OUString& url,
                                            StartView start = StartView::kNormal);

[[nodiscard]] css::uno::Reference<css::drawing::XDrawPages> Slides(const OpenDocument& document);
[[nodiscard]] std::vector<css::uno::Reference<css::drawing::XDrawPage>> SlideList(
    const OpenDocument& document);

struct SlideSize {
    sal_Int32 width = 0;  // 1/100 mm
    sal_Int32 height = 0;
    friend bool operator==(const SlideSize&, const SlideSize&) = default;
};
[[nodiscard]] SlideSize SizeOf(const OpenDocument& document);

// Runs a dispatcher command (".uno:...") on the document's frame.
void Dispatch(const EngineProcess& engine, const OpenDocument& document, std::string_view command,
              const css::uno::Sequence<css::beans::PropertyValue>& arguments = {});

// Switches the document's main view and returns only once the switch has been carried out:
// the engine performs view changes asynchronously, and a command sent before it finished
// acts on the old view (or on none).
void ShowSlideSorter(const EngineProcess& engine, const OpenDocument& document);
void ShowNormalView(const EngineProcess& engine, const OpenDocument& document);

[[nodiscard]] css::beans::PropertyValue Property(std::string_view name, const css::uno::Any& value);
[[nodiscard]] css::uno::Sequence<css::beans::PropertyValue> Properties(
    std::initializer_list<css::beans::PropertyValue> properties);

}  // namespace foliomix::impress
