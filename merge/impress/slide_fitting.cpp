#include "merge/impress/slide_fitting.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include <com/sun/star/beans/PropertyState.hpp>
#include <com/sun/star/beans/UnknownPropertyException.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XMultiPropertyStates.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/HomogenMatrix3.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;
using css::beans::XPropertySet;

namespace {

// A character height exists once per script; all three scale alike.
constexpr std::array<std::string_view, 3> kCharHeights = {"CharHeight", "CharHeightAsian",
                                                          "CharHeightComplex"};

// The presentation styles a master's placeholders take their text from, in the style family
// that bears the master's name.
constexpr std::array<std::string_view, 11> kPlaceholderStyles = {
    "title",    "subtitle", "outline1", "outline2", "outline3", "outline4",
    "outline5", "outline6", "outline7", "outline8", "outline9"};

rtl::OUString Name(std::string_view name) { return Utf8ToOUString(name); }

uno::Sequence<rtl::OUString> CharHeightNames() {
    const std::array<rtl::OUString, 3> names = {Name(kCharHeights[0]), Name(kCharHeights[1]),
                                                Name(kCharHeights[2])};
    return {names.data(), static_cast<sal_Int32>(names.size())};
}

// Character heights (points, as float) times `scale`.
uno::Sequence<uno::Any> Scaled(uno::Sequence<uno::Any> heights, double scale) {
    for (sal_Int32 i = 0; i < heights.getLength(); ++i) {
        float points = 0;
        heights[i] >>= points;
        heights.getArray()[i] <<= static_cast<float>(points * scale);
    }
    return heights;
}

void ScaleTransformation(const uno::Reference<XPropertySet>& shape, const SlideFit& fit) {
    css::drawing::HomogenMatrix3 matrix;
    if (!(shape->getPropertyValue("Transformation") >>= matrix)) {
        return;
    }
    // The fit maps (x, y) to (s·x + dx, s·y + dy); applied after the shape's own transformation
    // it keeps rotation and shear and scales lines, groups and pictures alike.
    matrix.Line1.Column1 *= fit.scale;
    matrix.Line1.Column2 *= fit.scale;
    matrix.Line1.Column3 = matrix.Line1.Column3 * fit.scale + fit.offsetX;
    matrix.Line2.Column1 *= fit.scale;
    matrix.Line2.Column2 *= fit.scale;
    matrix.Line2.Column3 = matrix.Line2.Column3 * fit.scale + fit.offsetY;
    shape->setPropertyValue("Transformation", uno::Any(matrix));
}

// Scales the character heights of a piece of text that are set on it directly, or, with
// `inherited`, also those it takes from a style that is not scaled itself. Each remote call
// costs a round trip, so the three heights travel together.
void ScaleCharHeights(const uno::Any& portion, double scale, bool inherited) {
    const uno::Sequence<rtl::OUString> all = CharHeightNames();
    uno::Sequence<rtl::OUString> names = all;
    if (!inherited) {
        const uno::Reference<css::beans::XMultiPropertyStates> states(portion, uno::UNO_QUERY);
        if (!states.is()) {
            return;
        }
        const auto found = states->getPropertyStates(all);
        std::vector<rtl::OUString> direct;
        for (sal_Int32 i = 0; i < found.getLength(); ++i) {
            if (found[i] == css::beans::PropertyState_DIRECT_VALUE) {
                direct.push_back(all[i]);
            }
        }
        if (direct.empty()) {
            return;
        }
        names = uno::Sequence<rtl::OUString>(direct.data(), static_cast<sal_Int32>(direct.size()));
    }
    const uno::Reference<css::beans::XMultiPropertySet> properties(portion, uno::UNO_QUERY);
    if (!properties.is()) {
        return;
    }
    properties->setPropertyValues(names, Scaled(properties->getPropertyValues(names), scale));
}

void ScaleText(const uno::Reference<uno::XInterface>& shape, double scale, bool inherited) {
    // Asked first because it costs two round trips where walking even an empty text costs
    // seven, and most shapes that can hold text (pictures, empty placeholders) hold none.
    const uno::Reference<css::text::XTextRange> range(shape, uno::UNO_QUERY);
    if (!range.is() || range->getString().isEmpty()) {
        return;
    }
    const uno::Reference<css::container::XEnumerationAccess> text(shape, uno::UNO_QUERY);
    if (!text.is()) {
        return;
    }
    const auto paragraphs = text->createEnumeration();
    while (paragraphs->hasMoreElements()) {
        const uno::Reference<css::container::XEnumerationAccess> paragraph(
            paragraphs->nextElement(), uno::UNO_QUERY);
        if (!paragraph.is()) {
            continue;
        }
        const auto portions = paragraph->createEnumeration();
        while (portions->hasMoreElements()) {
            ScaleCharHeights(portions->nextElement(), scale, inherited);
        }
    }
}

bool IsPlaceholder(const uno::Reference<XPropertySet>& shape) {
    bool placeholder = false;
    try {
        shape->getPropertyValue("IsPresentationObject") >>= placeholder;
    } catch (const css::beans::UnknownPropertyException&) {
        // Not a shape of a presentation: it has no placeholders.
    }
    return placeholder;
}

// A placeholder's text comes from its master's styles, which are scaled once; only what is set
// on it directly is scaled here. Other text takes its height from document-wide styles that a
// paste may replace with the target's, so it gets its scaled height set directly. The shapes
// of a group are already moved by the group's transformation; only their text is left.
void ScaleShapeText(const uno::Reference<XPropertySet>& shape, double scale) {
    if (const uno::Reference<css::drawing::XShapes> group(shape, uno::UNO_QUERY); group.is()) {
        for (sal_Int32 i = 0; i < group->getCount(); ++i) {
            ScaleShapeText(uno::Reference<XPropertySet>(group->getByIndex(i), uno::UNO_QUERY_THROW),
                           scale);
        }
        return;
    }
    ScaleText(shape, scale, !IsPlaceholder(shape));
}

void FitShapes(const uno::Reference<css::drawing::XShapes>& page, const SlideFit& fit) {
    for (sal_Int32 i = 0; i < page->getCount(); ++i) {
        const uno::Reference<XPropertySet> shape(page->getByIndex(i), uno::UNO_QUERY_THROW);
        ScaleTransformation(shape, fit);
        ScaleShapeText(shape, fit.scale);
    }
}

// Every height is read before any is written: outline levels inherit from each other, and a
// level scaled through its parent must not be scaled twice.
void ScalePlaceholderStyles(const OpenDocument& document,
                            const std::vector<uno::Reference<css::drawing::XDrawPage>>& masters,
                            double scale) {
    const uno::Reference<css::style::XStyleFamiliesSupplier> supplier(document.Component(),
                                                                      uno::UNO_QUERY_THROW);
    const auto families = supplier->getStyleFamilies();
    const auto names = CharHeightNames();
    std::vector<std::pair<uno::Reference<css::beans::XMultiPropertySet>, uno::Sequence<uno::Any>>>
        heights;
    for (const auto& master : masters) {
        const rtl::OUString family =
            uno::Reference<css::container::XNamed>(master, uno::UNO_QUERY_THROW)->getName();
        uno::Reference<css::container::XNameAccess> styles;
        if (!families->hasByName(family) || !(families->getByName(family) >>= styles)) {
            continue;
        }
        for (const std::string_view styleName : kPlaceholderStyles) {
            if (!styles->hasByName(Name(styleName))) {
                continue;
            }
            const uno::Reference<css::beans::XMultiPropertySet> style(
                styles->getByName(Name(styleName)), uno::UNO_QUERY_THROW);
            heights.emplace_back(style, style->getPropertyValues(names));
        }
    }
    for (auto& [style, values] : heights) {
        style->setPropertyValues(names, Scaled(values, scale));
    }
}

std::vector<uno::Reference<css::drawing::XDrawPage>> MasterList(const OpenDocument& document) {
    const auto masters = uno::Reference<css::drawing::XMasterPagesSupplier>(document.Component(),
                                                                            uno::UNO_QUERY_THROW)
                             ->getMasterPages();
    std::vector<uno::Reference<css::drawing::XDrawPage>> list;
    for (sal_Int32 i = 0; i < masters->getCount(); ++i) {
        list.emplace_back(masters->getByIndex(i), uno::UNO_QUERY_THROW);
    }
    return list;
}

}  // namespace

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

void FitSlides(const OpenDocument& document, SlideSize size) {
    const SlideSize from = SizeOf(document);
    if (from == size) {
        return;
    }
    const SlideFit fit = FitOf(from, size);
    const auto masters = MasterList(document);
    const auto slides = SlideList(document);

    // A slide's size is the document's: set on one slide, the engine gives it to every slide
    // and master, and moves nothing on them.
    const uno::Reference<XPropertySet> first(slides.front(), uno::UNO_QUERY_THROW);
    first->setPropertyValue("Width", uno::Any(size.width));
    first->setPropertyValue("Height", uno::Any(size.height));
    if (SizeOf(document) != size) {
        throw ServerError("the slides could not take the result's size");
    }
    ScalePlaceholderStyles(document, masters, fit.scale);
    for (const auto& page : {masters, slides}) {
        for (const auto& shapes : page) {
            FitShapes(uno::Reference<css::drawing::XShapes>(shapes, uno::UNO_QUERY_THROW), fit);
        }
    }
}

}  // namespace foliomix::impress
