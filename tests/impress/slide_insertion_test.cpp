// The checked insertion on its own, on real decks: a paste that lands in the wrong place is
// taken back and redone, and the slides around the insertion point are never disturbed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "merge/impress/impress_document.h"
#include "merge/impress/slide_insertion.h"
#include "merge/impress/temporary_directory.h"
#include "merge/impress/uno_strings.h"
#include "tests/impress/deck_maker.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;

std::vector<std::string> TextsOf(const impress::OpenDocument& document) {
    std::vector<std::string> texts;
    for (const auto& slide : impress::SlideList(document)) {
        texts.push_back(impress::ToUtf8(impress::ToOUString(impress::SlideText(slide))));
    }
    return texts;
}

struct Case {
    const char* name;
    sal_Int32 position;
    // What the caller claims of the target's slide sorter. Claimed wrongly for a target just
    // opened in the normal view, the first paste lands after its first slide, not at the end.
    bool sorterAtEnd;
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
    impress::InsertAllSlides(maker_->Engine(), source, target, GetParam().position,
                             GetParam().sorterAtEnd);
    EXPECT_THAT(TextsOf(target), ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Positions, SlideInsertionTest,
    ::testing::Values(
        // The append of a merge run, told the sorter is ready when it is not: the wrong
        // landing is undone and the append redone.
        Case{"AtTheEndAfterAWrongLanding", 3, true, {"T1", "T2", "T3", "S1", "S2"}},
        Case{"AtTheEnd", 3, false, {"T1", "T2", "T3", "S1", "S2"}},
        Case{"InTheMiddle", 2, false, {"T1", "T2", "S1", "S2", "T3"}},
        Case{"AtTheStart", 0, false, {"S1", "S2", "T1", "T2", "T3"}}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace foliomix::testing
