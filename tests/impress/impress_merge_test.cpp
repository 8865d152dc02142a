// The Impress adapter merging real .ppt files: the saved result reopened and its slides
// checked in exact order, inserts at the start and in the middle, other slide sizes, Chinese
// names, the formats SaveAs writes, and the failures the merge run must see.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <random>

#include <com/sun/star/frame/XStorable.hpp>
#include <string>
#include <vector>

#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"
#include "merge/impress/impress_presentation_server.h"
#include "merge/impress/temporary_directory.h"
#include "merge/impress/uno_strings.h"
#include "tests/impress/deck_maker.h"
#include "tests/support/folders.h"
#include "tests/support/utf8.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
namespace css = com::sun::star;
namespace uno = css::uno;
using impress::ImpressPresentationServer;
using ::testing::ElementsAre;

std::vector<std::string> Titles(const std::string& prefix, int count) {
    std::vector<std::string> titles;
    for (int i = 1; i <= count; ++i) {
        titles.push_back(prefix + std::to_string(i));
    }
    return titles;
}

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// One deck maker, one folder of input decks and one adapter engine for the whole suite.
class ImpressMergeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<impress::TemporaryDirectory>("foliomix-merge-test-");
        maker_ = std::make_unique<DeckMaker>();
        maker_->Make(Deck("甲"), Titles("甲", 3));
        maker_->Make(Deck("乙 演示"), Titles("乙", 2));
        maker_->Make(Deck("丁"), Titles("丁", 1));
        // 4:3, where the decks above are 16:9.
        maker_->Make(Deck("丙 4比3"), Titles("丙", 2), {25400, 19050});
        std::ofstream bytes(Deck("坏"), std::ios::binary);
        std::mt19937 random(4);
        for (int i = 0; i < 20000; ++i) {
            bytes.put(static_cast<char>(random() & 0xff));
        }
        std::ofstream(Deck("空")).flush();
        const impress::OpenDocument locked = impress::CreatePresentation(maker_->Engine());
        uno::Reference<css::frame::XStorable>(locked.Component(), uno::UNO_QUERY_THROW)
            ->storeToURL(impress::FileUrlFromPath(Output("密码.odp").u16string()),
                         impress::Properties(
                             {impress::Property("FilterName", uno::Any(rtl::OUString("impress8"))),
                              impress::Property("Password", uno::Any(rtl::OUString("秘密")))}));
        server_ = std::make_unique<ImpressPresentationServer>();
        application_ = server_->CreateApplication();
    }
    static void TearDownTestSuite() {
        application_.reset();
        server_.reset();
        maker_.reset();
        folder_.reset();
    }

    static fs::path Deck(const std::string& name) {
        return folder_->Path() / Utf8Path(name + ".ppt");
    }
    static fs::path Output(const std::string& name) { return folder_->Path() / Utf8Path(name); }
    static std::u16string U16(const fs::path& path) { return path.u16string(); }

    // Inserts each deck after the last slide, as the merge run does.
    static std::unique_ptr<ServerPresentation> MergeAtEnd(const std::vector<std::string>& decks) {
        auto result = application_->AddPresentation();
        for (const auto& deck : decks) {
            result->InsertFromFile(U16(Deck(deck)), result->SlideCount());
        }
        return result;
    }

    // How many slides the engine's clipboard pastes into a new presentation.
    static sal_Int32 SlidesPasted(const impress::EngineProcess& engine) {
        const impress::OpenDocument target = impress::CreatePresentation(engine);
        impress::ShowSlideSorter(engine, target);
        const sal_Int32 before = impress::Slides(target)->getCount();
        impress::Dispatch(engine, target, ".uno:Paste");
        return impress::Slides(target)->getCount() - before;
    }

    static inline std::unique_ptr<impress::TemporaryDirectory> folder_;
    static inline std::unique_ptr<DeckMaker> maker_;
    static inline std::unique_ptr<ImpressPresentationServer> server_;
    static inline std::unique_ptr<ServerApplication> application_;
};

TEST_F(ImpressMergeTest, AppendsEveryFileInListOrderAndCountsOnlyRealSlides) {
    auto result = application_->AddPresentation();
    EXPECT_EQ(result->SlideCount(), 0);
    std::vector<int> counts;
    for (const char* deck : {"甲", "乙 演示", "丁"}) {
        result->InsertFromFile(U16(Deck(deck)), result->SlideCount());
        counts.push_back(result->SlideCount());
    }
    EXPECT_THAT(counts, ElementsAre(3, 5, 6));
    result->SaveAs(U16(Output("合并结果.ppt")));

    const SavedDeck saved = maker_->Read(Output("合并结果.ppt"));
    EXPECT_EQ(saved.visibleSlides, Concat({Titles("甲", 3), Titles("乙", 2), Titles("丁", 1)}));
    // The engine's own first slide is gone, not merely hidden.
    EXPECT_EQ(saved.hiddenSlides, 0);
}

TEST_F(ImpressMergeTest, ScalesADeckOfAnotherSlideSizeToTheResult) {
    auto result = MergeAtEnd({"甲", "丙 4比3", "乙 演示"});
    EXPECT_EQ(result->SlideCount(), 7);
    result->SaveAs(U16(Output("sizes.ppt")));
    const SavedDeck saved = maker_->Read(Output("sizes.ppt"));
    EXPECT_EQ(saved.visibleSlides, Concat({Titles("甲", 3), Titles("丙", 2), Titles("乙", 2)}));
    EXPECT_NEAR(saved.size.width, 28000, 30);
    EXPECT_NEAR(saved.size.height, 15750, 30);
}

TEST_F(ImpressMergeTest, TheFirstDeckGivesTheResultItsSize) {
    auto result = MergeAtEnd({"丙 4比3", "丁"});
    result->SaveAs(U16(Output("foreign-first.ppt")));
    const SavedDeck saved = maker_->Read(Output("foreign-first.ppt"));
    EXPECT_EQ(saved.visibleSlides, Concat({Titles("丙", 2), Titles("丁", 1)}));
    EXPECT_EQ(saved.size.width, 25400);
    EXPECT_EQ(saved.size.height, 19050);
}

struct PlacementCase {
    const char* name;
    const char* deck;
    int index;
    std::vector<std::string> expected;  // after 甲 (3 slides) and then this insert
};

class ImpressPlacementTest : public ImpressMergeTest,
                             public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(ImpressPlacementTest, InsertsAfterTheGivenSlide) {
    auto result = MergeAtEnd({"甲"});
    result->InsertFromFile(U16(Deck(GetParam().deck)), GetParam().index);
    EXPECT_EQ(result->SlideCount(), static_cast<int>(GetParam().expected.size()));
    const fs::path out = Output(std::string("placement-") + GetParam().name + ".ppt");
    result->SaveAs(U16(out));
    EXPECT_EQ(maker_->Read(out).visibleSlides, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, ImpressPlacementTest,
    ::testing::Values(
        PlacementCase{"start", "乙 演示", 0, {"乙1", "乙2", "甲1", "甲2", "甲3"}},
        PlacementCase{"afterFirst", "乙 演示", 1, {"甲1", "乙1", "乙2", "甲2", "甲3"}},
        PlacementCase{"middle", "丁", 2, {"甲1", "甲2", "丁1", "甲3"}},
        PlacementCase{"end", "乙 演示", 3, {"甲1", "甲2", "甲3", "乙1", "乙2"}},
        PlacementCase{"startOtherSize", "丙 4比3", 0, {"丙1", "丙2", "甲1", "甲2", "甲3"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ImpressMergeTest, RepeatedInsertsAtTheStartStackInReverseFileOrder) {
    auto result = application_->AddPresentation();
    result->InsertFromFile(U16(Deck("甲")), 0);
    result->InsertFromFile(U16(Deck("丁")), 0);
    result->InsertFromFile(U16(Deck("乙 演示")), 0);
    result->SaveAs(U16(Output("stack.ppt")));
    EXPECT_EQ(maker_->Read(Output("stack.ppt")).visibleSlides,
              Concat({Titles("乙", 2), Titles("丁", 1), Titles("甲", 3)}));
}

// After an insert elsewhere the slide sorter pastes after that block, not at the end: the
// quick append lands in the wrong place, which the adapter must notice, undo and redo.
TEST_F(ImpressMergeTest, AppendingAfterInsertsElsewhereStillAppends) {
    auto result = MergeAtEnd({"甲"});
    result->InsertFromFile(U16(Deck("丁")), 1);
    result->InsertFromFile(U16(Deck("乙 演示")), result->SlideCount());
    result->InsertFromFile(U16(Deck("丁")), 0);
    result->InsertFromFile(U16(Deck("丙 4比3")), result->SlideCount());
    EXPECT_EQ(result->SlideCount(), 9);
    result->SaveAs(U16(Output("mixed.ppt")));
    EXPECT_EQ(
        maker_->Read(Output("mixed.ppt")).visibleSlides,
        (std::vector<std::string>{"丁1", "甲1", "丁1", "甲2", "甲3", "乙1", "乙2", "丙1", "丙2"}));
}

// The insertion empties the clipboard before each copy, so that a copy that did not happen
// cannot paste an earlier deck's slides; that rests on this clipboard being the one the slide
// sorter pastes from.
TEST_F(ImpressMergeTest, APasteAfterTheClipboardWasEmptiedBringsNothing) {
    const impress::EngineProcess& engine = *server_->RunningEngine();
    const impress::OpenDocument source = impress::LoadPresentation(
        engine, impress::FileUrlFromPath(U16(Deck("甲"))), impress::StartView::kSlideSorter);
    impress::Dispatch(engine, source, ".uno:SelectAll");
    impress::Dispatch(engine, source, ".uno:Copy");
    engine.ClearClipboard();
    EXPECT_EQ(SlidesPasted(engine), 0);
    // The same paste without emptying brings the deck: the check above could see a paste.
    impress::Dispatch(engine, source, ".uno:Copy");
    EXPECT_EQ(SlidesPasted(engine), 3);
}

// The clipboard's copy of the last deck would stay in the engine through the save, whose
// export of a large result needs all the memory it can get.
TEST_F(ImpressMergeTest, TheSaveHoldsNoCopyOfTheLastDeck) {
    auto result = MergeAtEnd({"甲", "乙 演示"});
    result->SaveAs(U16(Output("forgotten.ppt")));
    EXPECT_EQ(SlidesPasted(*server_->RunningEngine()), 0);
}

TEST_F(ImpressMergeTest, TheSameFileTwiceGivesItsSlidesTwice) {
    auto result = MergeAtEnd({"乙 演示", "乙 演示"});
    result->SaveAs(U16(Output("twice.ppt")));
    EXPECT_EQ(maker_->Read(Output("twice.ppt")).visibleSlides,
              Concat({Titles("乙", 2), Titles("乙", 2)}));
}

TEST_F(ImpressMergeTest, AnEmptyResultIsSavedWithNoVisibleSlide) {
    // An engine of its own: LibreOffice 7.4 has crashed within a second of the refused PDF
    // export below, on a busy machine. A merge ends its engine after a failed save anyway; the
    // suite's engine is for the cases after this one.
    ImpressPresentationServer server;
    auto application = server.CreateApplication();
    auto result = application->AddPresentation();
    EXPECT_EQ(result->SlideCount(), 0);
    result->SaveAs(U16(Output("empty.ppt")));
    const SavedDeck saved = maker_->Read(Output("empty.ppt"));
    EXPECT_TRUE(saved.visibleSlides.empty());
    // A .ppt cannot hold zero slides: the engine's own first slide stays, hidden.
    EXPECT_EQ(saved.hiddenSlides, 1);
    // A PDF of it would have no page: refused, saying so.
    try {
        result->SaveAs(U16(Output("empty.pdf")));
        ADD_FAILURE() << "saved";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.Kind(), FailureKind::NoVisibleSlide) << e.what();
    }
    EXPECT_FALSE(fs::exists(Output("empty.pdf")));
}

// The first bytes of each format: an OLE2 compound file, or a zip whose first entry is the
// OpenDocument mimetype, or a zip that starts with the OOXML content types.
std::string Head(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(100, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    return head;
}
bool IsPowerPoint97(const std::string& head) { return head.starts_with("\xD0\xCF\x11\xE0"); }
bool IsOpenDocument(const std::string& head) {
    return head.starts_with("PK") &&
           head.find("mimetypeapplication/vnd.oasis.opendocument.presentation") == 30;
}
bool IsOfficeOpenXml(const std::string& head) {
    return head.starts_with("PK") && head.find("mimetype") == std::string::npos;
}

// The extension names the format, unless the caller names one, which wins.
TEST_F(ImpressMergeTest, WritesTheFormatTheExtensionOrTheCallerNames) {
    struct FormatCase {
        const char* file = nullptr;
        bool (*format)(const std::string&) = nullptr;
        std::optional<SaveFormat> named = std::nullopt;
    };
    for (const FormatCase& format :
         {FormatCase{"format.ppt", IsPowerPoint97}, FormatCase{"format.PPT", IsPowerPoint97},
          FormatCase{"format.pptx", IsOfficeOpenXml}, FormatCase{"format.odp", IsOpenDocument},
          FormatCase{"format.bin", IsPowerPoint97}, FormatCase{"format", IsPowerPoint97},
          FormatCase{"named.bin", IsOpenDocument, SaveFormat::OpenDocument},
          FormatCase{"named.ppt", IsOfficeOpenXml, SaveFormat::OpenXml}}) {
        SCOPED_TRACE(format.file);
        auto result = MergeAtEnd({"丁", "乙 演示"});
        if (format.named) {
            result->SaveAs(U16(Output(format.file)), *format.named);
        } else {
            result->SaveAs(U16(Output(format.file)));
        }
        EXPECT_TRUE(format.format(Head(Output(format.file))));
        EXPECT_EQ(maker_->Read(Output(format.file)).visibleSlides,
                  Concat({Titles("丁", 1), Titles("乙", 2)}));
    }
}

TEST_F(ImpressMergeTest, SavingOverAnExistingFileReplacesIt) {
    MergeAtEnd({"甲"})->SaveAs(U16(Output("replace.ppt")));
    MergeAtEnd({"丁"})->SaveAs(U16(Output("replace.ppt")));
    EXPECT_EQ(maker_->Read(Output("replace.ppt")).visibleSlides, Titles("丁", 1));
}

// Refused first or later, saying why in terms of its kind: the engine would open an empty file
// first as a new presentation, and has crashed on one later.
TEST_F(ImpressMergeTest, AFileThatIsNotAPresentationFailsAndChangesNothing) {
    struct Bad {
        fs::path file;
        FailureKind kind;
    };
    auto result = MergeAtEnd({"甲"});
    auto empty = application_->AddPresentation();
    for (const Bad& bad : {Bad{Deck("坏"), FailureKind::NotAPresentation},
                           Bad{Deck("空"), FailureKind::NotAPresentation},
                           Bad{Output("密码.odp"), FailureKind::PasswordProtected},
                           Bad{Output("no such file.ppt"), FailureKind::NotAPresentation},
                           Bad{folder_->Path(), FailureKind::NotAPresentation}}) {
        SCOPED_TRACE(bad.file.string());
        for (ServerPresentation* into : {result.get(), empty.get()}) {
            try {
                into->InsertFromFile(U16(bad.file), into->SlideCount());
                ADD_FAILURE() << "inserted";
            } catch (const ServerError& e) {
                EXPECT_EQ(e.Kind(), bad.kind) << e.what();
            }
            EXPECT_EQ(into->SlideCount(), into == result.get() ? 3 : 0);
        }
    }
    // The presentation is still usable and holds exactly what it held.
    result->InsertFromFile(U16(Deck("丁")), 3);
    result->SaveAs(U16(Output("after-bad.ppt")));
    EXPECT_EQ(maker_->Read(Output("after-bad.ppt")).visibleSlides,
              Concat({Titles("甲", 3), Titles("丁", 1)}));
}

TEST_F(ImpressMergeTest, RelativeNamesAreTakenFromTheCurrentFolder) {
    // Back in the folder it was in even when a call throws: the next tests rely on it.
    {
        const CurrentFolder in(folder_->Path());
        auto result = application_->AddPresentation();
        result->InsertFromFile(u"丁.ppt", 0);
        result->SaveAs(u"相对.ppt");
    }
    EXPECT_EQ(maker_->Read(Output("相对.ppt")).visibleSlides, Titles("丁", 1));
}

TEST_F(ImpressMergeTest, AnIndexOutsideTheSlidesFails) {
    auto empty = application_->AddPresentation();
    EXPECT_THROW(empty->InsertFromFile(U16(Deck("丁")), 1), ServerError);
    EXPECT_THROW(empty->InsertFromFile(U16(Deck("丁")), -1), ServerError);
    EXPECT_EQ(empty->SlideCount(), 0);
    auto three = MergeAtEnd({"甲"});
    EXPECT_THROW(three->InsertFromFile(U16(Deck("丁")), 4), ServerError);
    EXPECT_EQ(three->SlideCount(), 3);
}

TEST_F(ImpressMergeTest, AnUnwritableDestinationFailsTheSave) {
    std::ofstream(Output("plain-file")) << "not a folder";
    auto result = MergeAtEnd({"丁"});
    for (const fs::path& target :
         {Output("missing folder") / "out.ppt", Output("plain-file") / "out.ppt",
          fs::path("/proc/foliomix-unwritable.ppt")}) {
        SCOPED_TRACE(target.string());
        EXPECT_THROW(result->SaveAs(U16(target)), ServerError);
        EXPECT_FALSE(fs::exists(target));
    }
}

}  // namespace
}  // namespace foliomix::testing
