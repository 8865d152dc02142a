#include "merge/impress/master_pages.h"

#include <algorithm>
#include <vector>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>

#include "merge/impress/uno_strings.h"

namespace foliomix::impress {

namespace uno = css::uno;

namespace {

uno::Reference<css::drawing::XDrawPages> Masters(const OpenDocument& document) {
    return uno::Reference<css::drawing::XMasterPagesSupplier>(document.Component(),
                                                              uno::UNO_QUERY_THROW)
        ->getMasterPages();
}

uno::Reference<css::container::XNamed> Named(const uno::Any& master) {
    return uno::Reference<css::container::XNamed>(master, uno::UNO_QUERY_THROW);
}

}  // namespace

std::set<std::u16string> MasterNames(const OpenDocument& document) {
    const auto masters = Masters(document);
    std::set<std::u16string> names;
    for (sal_Int32 i = 0; i < masters->getCount(); ++i) {
        names.insert(ToU16(Named(masters->getByIndex(i))->getName()));
    }
    return names;
}

std::u16string DefaultMasterName(const EngineProcess& engine) {
    const OpenDocument blank = CreatePresentation(engine);
    return ToU16(Named(Masters(blank)->getByIndex(0))->getName());
}

std::u16string UniqueName(std::u16string_view name, const std::set<std::u16string>& taken) {
    std::u16string candidate(name);
    for (int number = 2; taken.contains(candidate); ++number) {
        const std::string suffix = " " + std::to_string(number);
        candidate = std::u16string(name) + std::u16string(suffix.begin(), suffix.end());
    }
    return candidate;
}

std::set<std::u16string> RenameClashingMasters(const OpenDocument& source,
                                               const std::set<std::u16string>& taken) {
    const auto masters = Masters(source);
    const sal_Int32 count = masters->getCount();
    std::vector<std::u16string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (sal_Int32 i = 0; i < count; ++i) {
        names.push_back(ToU16(Named(masters->getByIndex(i))->getName()));
    }
    // A new name also avoids the names of this deck's later masters, which keep theirs.
    std::set<std::u16string> avoid = taken;
    avoid.insert(names.begin(), names.end());
    std::set<std::u16string> given;
    for (sal_Int32 i = 0; i < count; ++i) {
        const std::u16string& name = names[static_cast<std::size_t>(i)];
        if (!taken.contains(name) && given.insert(name).second) {
            continue;
        }
        const std::u16string unique = UniqueName(name, avoid);
        Named(masters->getByIndex(i))->setName(ToOUString(unique));
        given.insert(unique);
        avoid.insert(unique);
    }
    return given;
}

void RemoveUnusedMasters(const OpenDocument& document) {
    std::vector<uno::Reference<uno::XInterface>> used;
    for (const auto& slide : SlideList(document)) {
        used.push_back(uno::Reference<css::drawing::XMasterPageTarget>(slide, uno::UNO_QUERY_THROW)
                           ->getMasterPage());
    }
    const auto masters = Masters(document);
    for (sal_Int32 i = masters->getCount() - 1; i >= 0; --i) {
        const uno::Reference<css::drawing::XDrawPage> master(masters->getByIndex(i),
                                                             uno::UNO_QUERY_THROW);
        const uno::Reference<uno::XInterface> identity(master, uno::UNO_QUERY_THROW);
        if (std::none_of(used.begin(), used.end(),
                         [&](const auto& u) { return u.get() == identity.get(); })) {
            masters->remove(master);
        }
    }
}

void RebindMasterBackgrounds(const OpenDocument& document) {
    const auto slides = Slides(document);
    const uno::Reference<css::drawing::XDrawPage> scratch =
        slides->insertNewByIndex(slides->getCount());
    const uno::Reference<css::beans::XPropertySet> scratchProperties(scratch, uno::UNO_QUERY_THROW);
    const uno::Reference<css::drawing::XMasterPageTarget> target(scratch, uno::UNO_QUERY_THROW);
    const auto masters = Masters(document);
    for (sal_Int32 i = 0; i < masters->getCount(); ++i) {
        target->setMasterPage(
            uno::Reference<css::drawing::XDrawPage>(masters->getByIndex(i), uno::UNO_QUERY_THROW));
        // Setting a slide's layout, even to the one it has, makes the engine bind the slide's
        // master to the background style of its name.
        scratchProperties->setPropertyValue("Layout",
                                            scratchProperties->getPropertyValue("Layout"));
    }
    slides->remove(scratch);
}

}  // namespace foliomix::impress
