// Merged decks look like their sources: the result takes the first deck's slide size, a deck
// of another size is fitted whole (one scale, centred), and every slide keeps its own master
// although the engine's import names every deck's master "Default". Each merged slide is
// compared with its source deck as the engine saves that deck alone in the result's format.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "merge/impress/impress_presentation_server.h"
#include "merge/impress/slide_fitting.h"
#include "merge/impress/temporary_directory.h"
#include "tests/impress/deck_design.h"
#include "tests/impress/deck_maker.h"
#include "tests/impress/pdf_pictures.h"
#include "tests/support/utf8.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
using impress::ImpressPresentationServer;
using impress::SlideFit;
using impress::SlideSize;

constexpr SlideSize k4by3{25400, 19050};
constexpr SlideSize k16by9{28000, 15750};
constexpr SlideSize kA4{29700, 21000};

struct SourceDeck {
    const char* name;
    std::vector<std::string> titles;
    DeckDesign design;
};

const std::vector<SourceDeck>& SourceDecks() {
    static const std::vector<SourceDeck> decks = {
        {"红", {"红一", "红二", "红三"}, {k4by3, 0xC00000, "红色标志", "DejaVu Serif", "图.bmp"}},
        {"蓝", {"蓝一", "蓝二"}, {k4by3, 0x0000C0, "蓝色标志", "DejaVu Sans Mono", {}}},
        {"紫", {"紫一", "紫二"}, {k4by3, 0x800080, "紫色标志", "DejaVu Sans", {}}},
        {"绿 宽", {"绿一", "绿二"}, {k16by9, 0x00A000, "绿色标志", "DejaVu Sans", "图.bmp"}},
        {"黄 A4", {"黄一", "黄二"}, {kA4, 0xC0C000, "黄色标志", "DejaVu Serif", {}}},
        // OpenDocument: the PowerPoint format keeps no master that no slide uses.
        {"白 两个母版.odp",
         {"白一", "白二"},
         {k4by3, 0xF0F0F0, "白色标志", "DejaVu Sans", {}, true}},
    };
    return decks;
}

// Positions and sizes come back from the format in whole 1/100 mm, and .ppt stores them in
// master units of its own: a few units either way are rounding, not a change.
constexpr double kGeometryTolerance = 6;

void ExpectBoxFitted(const Box& merged, const Box& source, const SlideFit& fit,
                     const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_NEAR(merged.x, source.x * fit.scale + fit.offsetX, kGeometryTolerance);
    EXPECT_NEAR(merged.y, source.y * fit.scale + fit.offsetY, kGeometryTolerance);
    EXPECT_NEAR(merged.width, source.width * fit.scale, kGeometryTolerance);
    EXPECT_NEAR(merged.height, source.height * fit.scale, kGeometryTolerance);
}

// Everything a viewer sees of the slide and its master, with the source's geometry and text
// heights carried through `fit`.
void ExpectLooksLike(const SlideLook& merged, const SlideLook& source, const SlideFit& fit) {
    SCOPED_TRACE("slide " + source.title);
    EXPECT_EQ(merged.title, source.title);
    EXPECT_EQ(merged.visible, source.visible);
    EXPECT_EQ(merged.notes, source.notes);
    EXPECT_EQ(merged.transitionType, source.transitionType);
    EXPECT_EQ(merged.transitionSubtype, source.transitionSubtype);
    EXPECT_EQ(merged.background, source.background);
    EXPECT_EQ(merged.masterTexts, source.masterTexts);
    EXPECT_EQ(merged.titleFont, source.titleFont);
    EXPECT_NEAR(merged.titleHeight, source.titleHeight * fit.scale, 0.6);
    ExpectBoxFitted(merged.titleBox, source.titleBox, fit, "title");
    ASSERT_EQ(merged.pictures.size(), source.pictures.size());
    for (std::size_t i = 0; i < source.pictures.size(); ++i) {
        ExpectBoxFitted(merged.pictures[i], source.pictures[i], fit, "picture");
    }
    ASSERT_EQ(merged.masterBoxes.size(), source.masterBoxes.size());
    for (std::size_t i = 0; i < source.masterBoxes.size(); ++i) {
        ExpectBoxFitted(merged.masterBoxes[i], source.masterBoxes[i], fit,
                        "master shape " + std::to_string(i));
    }
}

class ImpressFidelityTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<impress::TemporaryDirectory>("foliomix-fidelity-test-");
        maker_ = std::make_unique<DeckMaker>();
        WriteNoisePicture(folder_->Path() / "图.bmp", 64, 48, 1);
        for (const auto& deck : SourceDecks()) {
            DeckDesign design = deck.design;
            if (!design.picture.empty()) {
                design.picture = folder_->Path() / design.picture;
            }
            MakeDesignedDeck(maker_->Engine(), Deck(deck.name), deck.titles, design);
            const fs::path alone =
                folder_->Path() / (Deck(deck.name).stem().string() + "-alone.ppt");
            SaveAlone(maker_->Engine(), Deck(deck.name), alone);
            alone_.emplace(deck.name, ReadLook(maker_->Engine(), alone));
            sourceMasters_.emplace(deck.name, ReadLook(maker_->Engine(), Deck(deck.name)).masters);
        }
        server_ = std::make_unique<ImpressPresentationServer>();
        application_ = server_->CreateApplication();
    }
    static void TearDownTestSuite() {
        application_.reset();
        server_.reset();
        alone_.clear();
        sourceMasters_.clear();
        maker_.reset();
        folder_.reset();
    }

    // A name without an extension is a .ppt deck.
    static fs::path Deck(const std::string& name) {
        fs::path path = folder_->Path() / Utf8Path(name);
        return path.has_extension() ? path : path.concat(u8".ppt");
    }

    // The decks merged in this order as the merge run does, saved as .ppt and read back by
    // the deck maker's engine.
    static DeckLook Merge(const std::vector<std::string>& decks,
                          const std::string& output = "result.ppt") {
        auto result = application_->AddPresentation();
        for (const auto& deck : decks) {
            result->InsertFromFile(Deck(deck).u16string(), result->SlideCount());
        }
        const fs::path saved = folder_->Path() / output;
        result->SaveAs(saved.u16string());
        return ReadLook(maker_->Engine(), saved);
    }

    // Each merged slide against its source deck's, in order, each deck through `fits`.
    static void ExpectEachSlideLooksLikeItsSource(const DeckLook& merged,
                                                  const std::vector<std::string>& decks,
                                                  const std::vector<SlideFit>& fits) {
        std::size_t next = 0;
        for (std::size_t d = 0; d < decks.size(); ++d) {
            for (const SlideLook& source : alone_.at(decks[d]).slides) {
                ASSERT_LT(next, merged.slides.size());
                ExpectLooksLike(merged.slides[next++], source, fits[d]);
            }
        }
        EXPECT_EQ(next, merged.slides.size());
    }

    static inline std::unique_ptr<impress::TemporaryDirectory> folder_;
    static inline std::unique_ptr<DeckMaker> maker_;
    static inline std::map<std::string, DeckLook> alone_;
    static inline std::map<std::string, int> sourceMasters_;
    static inline std::unique_ptr<ImpressPresentationServer> server_;
    static inline std::unique_ptr<ServerApplication> application_;
};

TEST_F(ImpressFidelityTest, TheSourcesAllCarryAMasterOfTheSameName) {
    // The condition the other cases depend on: without it they would prove nothing.
    for (const auto& deck : SourceDecks()) {
        const DeckLook& look = alone_.at(deck.name);
        EXPECT_EQ(sourceMasters_.at(deck.name), deck.design.unusedMaster ? 2 : 1) << deck.name;
        for (const SlideLook& slide : look.slides) {
            EXPECT_EQ(slide.master, "Default") << deck.name;
        }
    }
    const DeckLook& red = alone_.at("红");
    const DeckLook& blue = alone_.at("蓝");
    EXPECT_NE(red.slides[0].background, blue.slides[0].background);
    EXPECT_NE(red.slides[0].titleFont, blue.slides[0].titleFont);
    EXPECT_FALSE(red.slides[1].visible);
    EXPECT_THAT(red.slides[1].pictures, ::testing::SizeIs(1));
}

TEST_F(ImpressFidelityTest, DecksOfOneSizeMergeAtThatSizeEachWithItsOwnMaster) {
    const std::vector<std::string> decks = {"红", "蓝", "紫"};
    const DeckLook merged = Merge(decks);
    EXPECT_EQ(merged.size, k4by3);
    ExpectEachSlideLooksLikeItsSource(merged, decks, {SlideFit{}, SlideFit{}, SlideFit{}});
    EXPECT_EQ(merged.masters, 3);
}

// Saved as OpenDocument, which keeps every master a presentation holds (PowerPoint's format
// drops unused ones by itself).
TEST_F(ImpressFidelityTest, MastersThatNoSlideUsesAreNotKept) {
    for (const std::vector<std::string>& decks :
         {std::vector<std::string>{"白 两个母版.odp", "蓝"},
          std::vector<std::string>{"蓝", "白 两个母版.odp"}}) {
        const DeckLook merged = Merge(decks, "result.odp");
        EXPECT_EQ(merged.masters, 2) << decks[0];
        ASSERT_EQ(merged.slides.size(), 4u);
        EXPECT_EQ(merged.slides.front().background, alone_.at(decks[0]).slides[0].background);
        EXPECT_EQ(merged.slides.back().background, alone_.at(decks[1]).slides[0].background);
    }
}

TEST_F(ImpressFidelityTest, TheSameDeckTwiceKeepsItsDesignBothTimes) {
    const std::vector<std::string> decks = {"红", "蓝", "红"};
    const DeckLook merged = Merge(decks);
    ExpectEachSlideLooksLikeItsSource(merged, decks, {SlideFit{}, SlideFit{}, SlideFit{}});
}

TEST_F(ImpressFidelityTest, DecksOfOtherSizesAreFittedWholeAndCentred) {
    const std::vector<std::string> decks = {"红", "绿 宽", "黄 A4"};
    const DeckLook merged = Merge(decks);
    EXPECT_EQ(merged.size, k4by3);
    ExpectEachSlideLooksLikeItsSource(
        merged, decks, {SlideFit{}, impress::FitOf(k16by9, k4by3), impress::FitOf(kA4, k4by3)});
}

TEST_F(ImpressFidelityTest, AWideFirstDeckMakesAWideResultWithTheOthersFitted) {
    const std::vector<std::string> decks = {"绿 宽", "蓝"};
    const DeckLook merged = Merge(decks);
    EXPECT_EQ(merged.size, k16by9);
    ExpectEachSlideLooksLikeItsSource(merged, decks, {SlideFit{}, impress::FitOf(k4by3, k16by9)});
}

// Picked slides, whether the first into the result or pasted after, look as in their deck,
// fitted as whole decks are; the hidden second slide of 红, picked by number, stays hidden.
TEST_F(ImpressFidelityTest, PickedSlidesLookAsInTheirDeckAndAHiddenOneStaysHidden) {
    auto result = application_->AddPresentation();
    EXPECT_EQ(result->SlideCountOfFile(Deck("红").u16string()), 3);
    struct Pick {
        const char* deck = "";
        SlideRun slides;
    };
    for (const Pick& pick : {Pick{"红", {2, 3}}, Pick{"绿 宽", {2, 2}}, Pick{"红", {1, 1}}}) {
        result->InsertFromFile(Deck(pick.deck).u16string(), result->SlideCount(), pick.slides);
    }
    try {
        result->InsertFromFile(Deck("蓝").u16string(), result->SlideCount(), {2, 3});
        ADD_FAILURE() << "slide 3 of a deck of 2 was taken";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.Kind(), FailureKind::SlideOutOfRange) << e.what();
    }
    const fs::path saved = folder_->Path() / "picked.ppt";
    result->SaveAs(saved.u16string());
    const DeckLook merged = ReadLook(maker_->Engine(), saved);
    EXPECT_EQ(merged.size, k4by3);
    const auto& red = alone_.at("红").slides;
    const auto& green = alone_.at("绿 宽").slides;
    ASSERT_EQ(merged.slides.size(), 4U);
    ASSERT_FALSE(red[1].visible);
    ExpectLooksLike(merged.slides[0], red[1], SlideFit{});
    ExpectLooksLike(merged.slides[1], red[2], SlideFit{});
    ExpectLooksLike(merged.slides[2], green[1], impress::FitOf(k16by9, k4by3));
    ExpectLooksLike(merged.slides[3], red[0], SlideFit{});
}

// A PDF shows every visible slide as the engine's own export of the same result does: Chinese
// text, pictures, and the gradient of a master that a paste brought, which the engine's
// rendering lost once the deck it came from was closed.
TEST_F(ImpressFidelityTest, APdfShowsTheSlidesAsTheEnginesOwnExportOfTheResult) {
    MakeDesignedDeck(maker_->Engine(), Deck("渐变.pptx"), {"渐一", "渐二", "渐三"},
                     {k4by3, 0x1F3A93, "渐变标志", "DejaVu Sans", {}, false, true});
    auto result = application_->AddPresentation();
    for (const char* deck : {"红", "渐变.pptx"}) {
        result->InsertFromFile(Deck(deck).u16string(), result->SlideCount());
    }
    const fs::path pdf = folder_->Path() / "result.pdf";
    const fs::path odp = folder_->Path() / "result.odp";
    result->SaveAs(pdf.u16string());
    result->SaveAs(odp.u16string());
    const fs::path own = folder_->Path() / "引擎自己的.pdf";
    SaveAlone(maker_->Engine(), odp, own);

    constexpr int kDpi = 20;
    const auto ours = PdfPictures(pdf, folder_->Path() / "ours", kDpi);
    const auto theirs = PdfPictures(own, folder_->Path() / "theirs", kDpi);
    ASSERT_EQ(ours.size(), 4u);  // each deck's second slide is hidden
    ASSERT_EQ(theirs.size(), ours.size());
    for (std::size_t page = 0; page < ours.size(); ++page) {
        EXPECT_LT(DifferingShare(ours[page], theirs[page]), 0.01) << "page " << page + 1;
    }
}

// A deck whose master bears the engine's own default name, pasted after decks whose masters
// are named otherwise (as PowerPoint's layouts are), keeps its design: a paste takes a master of
// that name for the blank one every copy carries.
TEST_F(ImpressFidelityTest, AMasterOfTheEnginesDefaultNameKeepsItsDesign) {
    DeckDesign titled = SourceDecks().at(1).design;
    titled.masterName = "Title Slide";
    MakeDesignedDeck(maker_->Engine(), Deck("标题.odp"), {"标一", "标二"}, titled);
    SaveAlone(maker_->Engine(), Deck("标题.odp"), folder_->Path() / "标题-alone.ppt");
    alone_.emplace("标题.odp", ReadLook(maker_->Engine(), folder_->Path() / "标题-alone.ppt"));
    const std::vector<std::string> decks = {"标题.odp", "红"};
    const DeckLook merged = Merge(decks);
    ExpectEachSlideLooksLikeItsSource(merged, decks, {SlideFit{}, SlideFit{}});
}

}  // namespace
}  // namespace foliomix::testing
