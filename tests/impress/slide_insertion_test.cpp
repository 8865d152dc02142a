// The checked insertion on its own, on real decks: a paste that lands in the wrong place is
// taken back and redone, and the slides around the insertion point are never disturbed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include "merge/impress/impress_document.h"
#include "merge/impress/slide_insertion.h"
#include "merge/impress/temporary_directory.h"
#include "merge/impress/uno_strings.h"
#include "tests/impress/deck_maker.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
namespace css = com::sun::star;
namespace uno = css::uno;
using ::testing::ElementsAreArray;

// The engine's time format "HH:MM:SS" (24 hours).
constexpr sal_Int32 kHoursMinutesSeconds = 4;

// Each slide's first shape's text: its title.
std::vector<std::string> TextsOf(const impress::OpenDocument& document) {
    std::vector<std::string> texts;
    for (const auto& slide : impress::SlideList(document)) {
        texts.push_back(impress::ToUtf8(
            uno::Reference<css::text::XTextRange>(slide->getByIndex(0), uno::UNO_QUERY_THROW)
                ->getString()));
    }
    return texts;
}

// A second shape on the first slide showing its slide number and the time to the second:
// fields render anew in the target, with another number and, a second later, another time.
void AddFieldsToFirstSlide(const impress::OpenDocument& deck) {
    const uno::Reference<css::lang::XMultiServiceFactory> factory(deck.Component(),
                                                                  uno::UNO_QUERY_THROW);
    const uno::Reference<css::drawing::XShape> shape(
        factory->createInstance("com.sun.star.drawing.TextShape"), uno::UNO_QUERY_THROW);
    impress::SlideList(deck).front()->add(shape);
    shape->setSize(css::awt::Size(8000, 2000));
    const uno::Reference<css::text::XText> text(shape, uno::UNO_QUERY_THROW);
    const uno::Reference<css::beans::XPropertySet> time(
        factory->createInstance("com.sun.star.text.TextField.DateTime"), uno::UNO_QUERY_THROW);
    time->setPropertyValue("IsDate", uno::Any(false));
    time->setPropertyValue("IsFixed", uno::Any(false));
    time->setPropertyValue("NumberFormat", uno::Any(kHoursMinutesSeconds));
    for (const uno::Reference<uno::XInterface>& field :
         {factory->createInstance("com.sun.star.text.TextField.PageNumber"),
          uno::Reference<uno::XInterface>(time)}) {
        text->insertTextContent(
            text->getEnd(), uno::Reference<css::text::XTextContent>(field, uno::UNO_QUERY_THROW),
            false);
    }
}

// Until the last moments of a second: an insertion (30 ms and more) from now on reads the source
// in this second and its copy in the next, which shows another time.
void WaitForTheEndOfASecond() {
    using namespace std::chrono;
    constexpr auto kLastMoments = 985ms;
    const auto now = system_clock::now().time_since_epoch();
    const auto intoSecond = duration_cast<milliseconds>(now - duration_cast<seconds>(now));
    std::this_thread::sleep_for(intoSecond < kLastMoments ? kLastMoments - intoSecond
                                                          : seconds(1) + kLastMoments - intoSecond);
}

struct Case {
    const char* name;
    sal_Int32 position;
    // What the caller claims of the target's slide sorter. Claimed wrongly for a target just
    // opened in the normal view, the first paste lands after its first slide, not at the end.
    bool sorterAtEnd;
    // The source's first slide shows a slide number and the time with seconds.
    bool fields;
    std::vector<std::string> expected;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class SlideInsertionTest : public ::testing::TestWithParam<Case> {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<impress::TemporaryDirectory>("foliomix-insertion-test-");
        maker_ = std::make_unique<DeckMaker>();
        maker_->Make(folder_->Path() / "target.ppt", {"T1", "T2", "T3"});
        maker_->Make(folder_->Path() / "source.ppt", {"S1", "S2"});
    }
    static void TearDownTestSuite() {
        maker_.reset();
        folder_.reset();
    }
    static impress::OpenDocument Open(const char* name, impress::StartView view) {
        return impress::LoadPresentation(
            maker_->Engine(), impress::FileUrlFromPath((folder_->Path() / name).u16string()), view);
    }

    static inline std::unique_ptr<impress::TemporaryDirectory> folder_;
    static inline std::unique_ptr<DeckMaker> maker_;
};

TEST_P(SlideInsertionTest, TheSlidesEndUpInPlaceAndNothingElseMoves) {
    const impress::OpenDocument target = Open("target.ppt", impress::StartView::kNormal);
    const impress::OpenDocument source = Open("source.ppt", impress::StartView::kSlideSorter);
    // S2 hides its master's shapes, which a paste shows again by itself.
    uno::Reference<css::beans::XPropertySet>(impress::SlideList(source).back(),
                                             uno::UNO_QUERY_THROW)
        ->setPropertyValue("IsBackgroundObjectsVisible", uno::Any(false));
    if (GetParam().fields) {
        AddFieldsToFirstSlide(source);
        WaitForTheEndOfASecond();
    }
    impress::InsertAllSlides(maker_->Engine(), source, target, GetParam().position,
                             GetParam().sorterAtEnd);
    EXPECT_THAT(TextsOf(target), ElementsAreArray(GetParam().expected));
    const auto texts = TextsOf(target);
    const auto slides = impress::SlideList(target);
    for (std::size_t i = 0; i < slides.size(); ++i) {
        bool shown = true;
        uno::Reference<css::beans::XPropertySet>(slides[i], uno::UNO_QUERY_THROW)
            ->getPropertyValue("IsBackgroundObjectsVisible") >>= shown;
        EXPECT_EQ(shown, texts[i] != "S2") << texts[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, SlideInsertionTest,
    ::testing::Values(
        // The append of a merge run, told the sorter is ready when it is not: the wrong
        // landing is undone and the append redone.
        Case{"AtTheEndAfterAWrongLanding", 3, true, false, {"T1", "T2", "T3", "S1", "S2"}},
        Case{"AtTheEnd", 3, false, false, {"T1", "T2", "T3", "S1", "S2"}},
        Case{"InTheMiddle", 2, false, false, {"T1", "T2", "S1", "S2", "T3"}},
        Case{"AtTheStart", 0, false, false, {"S1", "S2", "T1", "T2", "T3"}},
        Case{"FieldsAtTheEnd", 3, true, true, {"T1", "T2", "T3", "S1", "S2"}},
        Case{"FieldsInTheMiddle", 2, false, true, {"T1", "T2", "S1", "S2", "T3"}},
        Case{"FieldsAtTheStart", 0, false, true, {"S1", "S2", "T1", "T2", "T3"}}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace foliomix::testing
