#include "tests/impress/deck_design.h"

#include <cstdint>
#include <fstream>
#include <random>

#include <com/sun/star/awt/Gradient.hpp>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/FillStyle.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/presentation/FadeEffect.hpp>
#include <com/sun/star/presentation/XPresentationPage.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include "merge/impress/save_filter.h"
#include "merge/impress/uno_strings.h"

namespace foliomix::testing {

namespace css = com::sun::star;
namespace uno = css::uno;
using css::beans::XPropertySet;
using impress::Properties;
using impress::Property;

namespace {

constexpr sal_Int16 kTitleOnlyLayout = 19;

// The export filter for the format that `path`'s name asks for, as SaveAs picks it.
rtl::OUString FilterForName(const std::filesystem::path& path) {
    return impress::Utf8ToOUString(impress::SaveFilterFor(
        SaveFormatNamedBy(path.u16string()).value_or(impress::kDefaultSaveFormat)));
}

uno::Reference<XPropertySet> PropertiesOf(const uno::Reference<uno::XInterface>& object) {
    return {object, uno::UNO_QUERY_THROW};
}

bool IsPlaceholder(const uno::Reference<XPropertySet>& shape) {
    bool placeholder = false;
    return shape->getPropertySetInfo()->hasPropertyByName("IsPresentationObject") &&
           (shape->getPropertyValue("IsPresentationObject") >>= placeholder) && placeholder;
}

bool IsTitle(const uno::Reference<css::drawing::XShape>& shape) {
    const uno::Reference<css::lang::XServiceInfo> info(shape, uno::UNO_QUERY_THROW);
    return info->supportsService("com.sun.star.presentation.TitleTextShape");
}

std::string TextOf(const uno::Any& shape) {
    const uno::Reference<css::text::XTextRange> range(shape, uno::UNO_QUERY);
    return range.is() ? impress::ToUtf8(range->getString()) : std::string();
}

Box BoxOf(const uno::Reference<css::drawing::XShape>& shape) {
    const css::awt::Point position = shape->getPosition();
    const css::awt::Size size = shape->getSize();
    return {position.X, position.Y, size.Width, size.Height};
}

// The first character's font and height: what the title shows.
void ReadTitleFont(const uno::Reference<css::drawing::XShape>& title, SlideLook& look) {
    const uno::Reference<css::container::XEnumerationAccess> text(title, uno::UNO_QUERY_THROW);
    const uno::Reference<css::container::XEnumerationAccess> paragraph(
        text->createEnumeration()->nextElement(), uno::UNO_QUERY_THROW);
    const auto portion = PropertiesOf(uno::Reference<uno::XInterface>(
        paragraph->createEnumeration()->nextElement(), uno::UNO_QUERY_THROW));
    rtl::OUString font;
    portion->getPropertyValue("CharFontName") >>= font;
    look.titleFont = impress::ToUtf8(font);
    portion->getPropertyValue("CharHeight") >>= look.titleHeight;
}

// The text of the slide's notes, on its notes page; none when the page has no notes shape.
uno::Reference<css::text::XTextRange> NotesText(
    const uno::Reference<css::drawing::XDrawPage>& slide) {
    const auto notes =
        uno::Reference<css::presentation::XPresentationPage>(slide, uno::UNO_QUERY_THROW)
            ->getNotesPage();
    for (sal_Int32 i = 0; i < notes->getCount(); ++i) {
        const uno::Reference<css::lang::XServiceInfo> info(notes->getByIndex(i),
                                                           uno::UNO_QUERY_THROW);
        if (info->supportsService("com.sun.star.presentation.NotesShape")) {
            return {info, uno::UNO_QUERY_THROW};
        }
    }
    return {};
}

void ReadMaster(const uno::Reference<css::drawing::XDrawPage>& master, SlideLook& look) {
    look.master = impress::ToUtf8(
        uno::Reference<css::container::XNamed>(master, uno::UNO_QUERY_THROW)->getName());
    uno::Reference<XPropertySet> background;
    if (PropertiesOf(master)->getPropertyValue("Background") >>= background; background.is()) {
        background->getPropertyValue("FillColor") >>= look.background;
    }
    for (sal_Int32 i = 0; i < master->getCount(); ++i) {
        const uno::Reference<css::drawing::XShape> shape(master->getByIndex(i),
                                                         uno::UNO_QUERY_THROW);
        look.masterBoxes.push_back(BoxOf(shape));
        if (!IsPlaceholder(PropertiesOf(shape))) {
            look.masterTexts.push_back(TextOf(uno::Any(shape)));
        }
    }
}

SlideLook ReadSlide(const uno::Reference<css::drawing::XDrawPage>& slide) {
    SlideLook look;
    const auto properties = PropertiesOf(slide);
    properties->getPropertyValue("Visible") >>= look.visible;
    properties->getPropertyValue("TransitionType") >>= look.transitionType;
    properties->getPropertyValue("TransitionSubtype") >>= look.transitionSubtype;
    for (sal_Int32 i = 0; i < slide->getCount(); ++i) {
        const uno::Reference<css::drawing::XShape> shape(slide->getByIndex(i),
                                                         uno::UNO_QUERY_THROW);
        if (IsTitle(shape)) {
            look.title = TextOf(uno::Any(shape));
            look.titleBox = BoxOf(shape);
            ReadTitleFont(shape, look);
        } else if (uno::Reference<css::lang::XServiceInfo>(shape, uno::UNO_QUERY_THROW)
                       ->supportsService("com.sun.star.drawing.GraphicObjectShape")) {
            look.pictures.push_back(BoxOf(shape));
        }
    }
    if (const auto notes = NotesText(slide); notes.is()) {
        look.notes = impress::ToUtf8(notes->getString());
    }
    ReadMaster(uno::Reference<css::drawing::XMasterPageTarget>(slide, uno::UNO_QUERY_THROW)
                   ->getMasterPage(),
               look);
    return look;
}

void AddPicture(const impress::EngineProcess& engine,
                const uno::Reference<css::lang::XMultiServiceFactory>& factory,
                const uno::Reference<css::drawing::XDrawPage>& slide,
                const std::filesystem::path& picture, const impress::SlideSize& size) {
    const auto provider = css::graphic::GraphicProvider::create(engine.Context());
    const uno::Reference<css::graphic::XGraphic> graphic = provider->queryGraphic(
        Properties({Property("URL", uno::Any(impress::FileUrlFromPath(picture.u16string())))}));
    const uno::Reference<css::drawing::XShape> shape(
        factory->createInstance("com.sun.star.drawing.GraphicObjectShape"), uno::UNO_QUERY_THROW);
    slide->add(shape);
    PropertiesOf(shape)->setPropertyValue("Graphic", uno::Any(graphic));
    shape->setSize({size.width / 2, size.height / 2});
    shape->setPosition({size.width / 4, size.height / 3});
}

}  // namespace

void WriteNoisePicture(const std::filesystem::path& path, int width, int height, unsigned seed) {
    // An uncompressed 24-bit BMP: a 54-byte header, then rows of 4-byte-aligned pixels.
    const auto rowBytes = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
    const auto pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::ofstream out(path, std::ios::binary);
    const auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.put(static_cast<char>((value >> (8 * i)) & 0xff));
        }
    };
    out.put('B');
    out.put('M');
    put(54 + pixelBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < rowBytes; ++x) {
            out.put(static_cast<char>(random() & 0xff));
        }
    }
}

void MakeDesignedDeck(const impress::EngineProcess& engine, const std::filesystem::path& path,
                      const std::vector<std::string>& titles, const DeckDesign& design) {
    const impress::OpenDocument deck = impress::CreatePresentation(engine);
    const auto slides = impress::Slides(deck);
    while (slides->getCount() < static_cast<sal_Int32>(titles.size())) {
        slides->insertNewByIndex(slides->getCount() - 1);
    }
    const auto first = PropertiesOf(slides->getByIndex(0).get<uno::Reference<XPropertySet>>());
    first->setPropertyValue("Width", uno::Any(design.size.width));
    first->setPropertyValue("Height", uno::Any(design.size.height));

    const uno::Reference<css::lang::XMultiServiceFactory> factory(deck.Component(),
                                                                  uno::UNO_QUERY_THROW);
    const uno::Reference<css::drawing::XDrawPage> master(
        uno::Reference<css::drawing::XMasterPagesSupplier>(deck.Component(), uno::UNO_QUERY_THROW)
            ->getMasterPages()
            ->getByIndex(0),
        uno::UNO_QUERY_THROW);
    if (!design.masterName.empty()) {
        uno::Reference<css::container::XNamed>(master, uno::UNO_QUERY_THROW)
            ->setName(impress::Utf8ToOUString(design.masterName));
    }
    if (design.unusedMaster) {
        const auto masters = uno::Reference<css::drawing::XMasterPagesSupplier>(
                                 deck.Component(), uno::UNO_QUERY_THROW)
                                 ->getMasterPages();
        uno::Reference<css::container::XNamed>(masters->insertNewByIndex(1), uno::UNO_QUERY_THROW)
            ->setName("Unused");
    }
    const auto background =
        PropertiesOf(factory->createInstance("com.sun.star.drawing.Background"));
    if (design.gradient) {
        css::awt::Gradient gradient{};
        gradient.Style = css::awt::GradientStyle_LINEAR;
        gradient.StartColor = design.background;
        gradient.EndColor = 0xFFFFFF;
        gradient.StartIntensity = 100;
        gradient.EndIntensity = 100;
        background->setPropertyValue("FillStyle", uno::Any(css::drawing::FillStyle_GRADIENT));
        background->setPropertyValue("FillGradient", uno::Any(gradient));
    } else {
        background->setPropertyValue("FillStyle", uno::Any(css::drawing::FillStyle_SOLID));
        background->setPropertyValue("FillColor", uno::Any(design.background));
    }
    PropertiesOf(master)->setPropertyValue("Background", uno::Any(background));
    const uno::Reference<css::drawing::XShape> logo(
        factory->createInstance("com.sun.star.drawing.TextShape"), uno::UNO_QUERY_THROW);
    master->add(logo);
    logo->setSize({design.size.width / 3, design.size.height / 12});
    logo->setPosition({design.size.width / 20, design.size.height - design.size.height / 8});
    uno::Reference<css::text::XTextRange>(logo, uno::UNO_QUERY_THROW)
        ->setString(impress::Utf8ToOUString(design.logo));
    const auto families =
        uno::Reference<css::style::XStyleFamiliesSupplier>(deck.Component(), uno::UNO_QUERY_THROW)
            ->getStyleFamilies();
    const uno::Reference<css::container::XNameAccess> styles(
        families->getByName(
            uno::Reference<css::container::XNamed>(master, uno::UNO_QUERY_THROW)->getName()),
        uno::UNO_QUERY_THROW);
    PropertiesOf(styles->getByName("title").get<uno::Reference<XPropertySet>>())
        ->setPropertyValue("CharFontName", uno::Any(impress::Utf8ToOUString(design.titleFont)));

    for (std::size_t i = 0; i < titles.size(); ++i) {
        const uno::Reference<css::drawing::XDrawPage> slide(
            slides->getByIndex(static_cast<sal_Int32>(i)), uno::UNO_QUERY_THROW);
        const auto properties = PropertiesOf(slide);
        properties->setPropertyValue("Layout", uno::Any(kTitleOnlyLayout));
        properties->setPropertyValue("Effect",
                                     uno::Any(css::presentation::FadeEffect_FADE_FROM_LEFT));
        properties->setPropertyValue("Visible", uno::Any(i != 1));
        for (sal_Int32 k = 0; k < slide->getCount(); ++k) {
            const uno::Reference<css::drawing::XShape> shape(slide->getByIndex(k),
                                                             uno::UNO_QUERY_THROW);
            if (IsTitle(shape)) {
                uno::Reference<css::text::XTextRange>(shape, uno::UNO_QUERY_THROW)
                    ->setString(impress::Utf8ToOUString(titles[i]));
            }
        }
        if (const auto notes = NotesText(slide); notes.is()) {
            notes->setString(impress::Utf8ToOUString(titles[i] + " notes"));
        }
        if (!design.picture.empty() && i > 0) {
            AddPicture(engine, factory, slide, design.picture, design.size);
        }
    }
    uno::Reference<css::frame::XStorable>(deck.Component(), uno::UNO_QUERY_THROW)
        ->storeToURL(impress::FileUrlFromPath(path.u16string()),
                     Properties({Property("FilterName", uno::Any(FilterForName(path)))}));
}

DeckLook ReadLook(const impress::EngineProcess& engine, const std::filesystem::path& path) {
    const impress::OpenDocument deck =
        impress::LoadPresentation(engine, impress::FileUrlFromPath(path.u16string()));
    DeckLook look;
    look.size = impress::SizeOf(deck);
    for (const auto& slide : impress::SlideList(deck)) {
        look.slides.push_back(ReadSlide(slide));
    }
    look.masters =
        uno::Reference<css::drawing::XMasterPagesSupplier>(deck.Component(), uno::UNO_QUERY_THROW)
            ->getMasterPages()
            ->getCount();
    return look;
}

void SaveAlone(const impress::EngineProcess& engine, const std::filesystem::path& source,
               const std::filesystem::path& copy) {
    const impress::OpenDocument deck =
        impress::LoadPresentation(engine, impress::FileUrlFromPath(source.u16string()));
    const rtl::OUString filter = FilterForName(copy);
    uno::Reference<css::frame::XStorable>(deck.Component(), uno::UNO_QUERY_THROW)
        ->storeToURL(impress::FileUrlFromPath(copy.u16string()),
                     Properties({Property("FilterName", uno::Any(filter))}));
}

}  // namespace foliomix::testing
