// How a result reaches its file with this engine, staged as the merge job stages it: an engine
// killed while it saves leaves the old file as it was and nothing in the folder; a lock on the
// chosen name and a name of 250 bytes do not matter. A PDF holds the visible slides.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "merge/impress/impress_presentation_server.h"
#include "merge/impress/temporary_directory.h"
#include "merge/staging/staged_result.h"
#include "tests/impress/deck_design.h"
#include "tests/impress/deck_maker.h"
#include "tests/support/files.h"
#include "tests/support/utf8.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
using impress::ImpressPresentationServer;

// Every name in `folder` and below, relative to it; entries that go while they are listed may
// be missed.
std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (auto entry = fs::recursive_directory_iterator(folder, error);
         !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        names.insert(entry->path().lexically_relative(folder).string());
    }
    return names;
}

// The text of each page of a PDF, as poppler's pdftotext reads it (pages end with a form feed),
// each page's lines joined by spaces.
std::vector<std::string> PdfPages(const fs::path& pdf) {
    // Appended piece by piece: GCC 12 misreads a chain of + here as out of bounds.
    std::string command = FOLIOMIX_PDFTOTEXT;
    command += " -q '";
    command += pdf.string();
    command += "' -";
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> reader(::popen(command.c_str(), "r"),
                                                                 &::pclose);
    std::string text;
    char buffer[4096];
    while (reader && std::fgets(buffer, sizeof buffer, reader.get()) != nullptr) {
        text += buffer;
    }
    std::vector<std::string> pages{""};
    for (const char c : text) {
        if (c == '\f') {
            pages.emplace_back();
        } else if (c == '\n') {
            if (!pages.back().empty() && pages.back().back() != ' ') {
                pages.back() += ' ';
            }
        } else {
            pages.back() += c;
        }
    }
    pages.pop_back();  // after the last form feed
    for (std::string& page : pages) {
        page.erase(page.find_last_not_of(' ') + 1);
    }
    return pages;
}

class ImpressSaveTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        decks_ = std::make_unique<impress::TemporaryDirectory>("foliomix-save-decks-");
        DeckMaker maker;
        maker.Make(decks_->Path() / "small.ppt", {"小 1", "小 2"});
        // Big enough that its save takes a while: pictures on two hundred slides.
        std::vector<std::string> titles;
        for (int i = 1; i <= 200; ++i) {
            titles.push_back("大 " + std::to_string(i));
        }
        WriteNoisePicture(decks_->Path() / "picture.bmp", 320, 240, 3);
        MakeDesignedDeck(
            maker.Engine(), decks_->Path() / "big.ppt", titles,
            {{25400, 19050}, 0x336699, "标志", "DejaVu Sans", decks_->Path() / "picture.bmp"});
    }
    static void TearDownTestSuite() { decks_.reset(); }

    // Saves `result` as `target`, staged as the merge job stages this engine's saves.
    static void StagedSave(ServerPresentation& result, const fs::path& target) {
        StagedResult staged(target);
        result.SaveAs(staged.EnginePath().u16string());
        staged.Commit(ExistingFile::Replace);
    }

    // Merges `deck` alone and saves it as `target`.
    static void MergeAndSave(ImpressPresentationServer& server, const std::string& deck,
                             const fs::path& target) {
        auto application = server.CreateApplication();
        auto result = application->AddPresentation();
        result->InsertFromFile((decks_->Path() / deck).u16string(), 0);
        StagedSave(*result, target);
    }

    impress::TemporaryDirectory folder_{"foliomix-save-test-"};
    static inline std::unique_ptr<impress::TemporaryDirectory> decks_;
};

TEST_F(ImpressSaveTest, AnEngineKilledWhileSavingLeavesTheOldFileAndNothingElse) {
    const fs::path target = folder_.Path() / "合并结果.ppt";
    fs::copy_file(decks_->Path() / "small.ppt", target);
    const std::string before = FileBytes(target);
    const std::set<std::string> entriesBefore = Entries(folder_.Path());
    {
        ImpressPresentationServer server;
        auto application = server.CreateApplication();
        auto result = application->AddPresentation();
        result->InsertFromFile((decks_->Path() / "big.ppt").u16string(), 0);
        // Kills the engine as soon as its save has put anything into the folder.
        std::atomic<bool> killed = false;
        const int pid = server.EngineProcessId();
        std::jthread watch([&](const std::stop_token& stop) {
            while (!stop.stop_requested()) {
                if (Entries(folder_.Path()) != entriesBefore) {
                    ::kill(pid, SIGKILL);
                    killed = true;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        EXPECT_THROW(StagedSave(*result, target), ServerError);
        watch.request_stop();
        watch.join();
        ASSERT_TRUE(killed);
    }
    EXPECT_EQ(FileBytes(target), before);
    EXPECT_EQ(Entries(folder_.Path()), entriesBefore);

    // The next merge to that name is not hindered by anything the killed one left.
    ImpressPresentationServer server;
    MergeAndSave(server, "small.ppt", target);
    DeckMaker reader;
    EXPECT_THAT(reader.Read(target).visibleSlides, ::testing::ElementsAre("小 1", "小 2"));
    EXPECT_EQ(Entries(folder_.Path()), entriesBefore);
}

TEST_F(ImpressSaveTest, ALockOnTheChosenNameAndANameOf250BytesDoNotMatter) {
    // 250 bytes: "结" is three bytes in UTF-8.
    std::string longName;
    while (longName.size() + 3 + 4 <= 250) {
        longName += "结";
    }
    longName += std::string(250 - 4 - longName.size(), 'x') + ".ppt";
    ASSERT_EQ(longName.size(), 250U);
    const fs::path locked = folder_.Path() / "locked.ppt";
    // As the user's own LibreOffice leaves it while it has the file open, or once killed.
    std::ofstream(folder_.Path() / ".~lock.locked.ppt#") << "someone,else,host,01.01.2026 10:00,";
    std::ofstream(locked) << "the user's file";
    for (const fs::path& target : {folder_.Path() / Utf8Path(longName), locked}) {
        SCOPED_TRACE(target.filename().string().substr(0, 20));
        ImpressPresentationServer server;
        MergeAndSave(server, "small.ppt", target);
        DeckMaker reader;
        EXPECT_THAT(reader.Read(target).visibleSlides, ::testing::ElementsAre("小 1", "小 2"));
    }
    // The lock is someone else's: it stays.
    EXPECT_TRUE(fs::exists(folder_.Path() / ".~lock.locked.ppt#"));
    EXPECT_EQ(Entries(folder_.Path()).size(), 3U);
}

TEST_F(ImpressSaveTest, APdfNameGetsAPdfOfTheMergedSlidesInOrderWithoutTheHiddenOne) {
    const fs::path designed = folder_.Path() / "designed.odp";
    {
        DeckMaker maker;
        // Its second slide hidden: a slide show would not show it, nor does the PDF.
        MakeDesignedDeck(maker.Engine(), designed, {"PDF one", "PDF hidden", "PDF three"},
                         {{25400, 19050}, 0x336699, "Logo", "DejaVu Sans", {}});
    }
    const fs::path target = folder_.Path() / "Merged.PDF";
    {
        ImpressPresentationServer server;
        auto application = server.CreateApplication();
        auto result = application->AddPresentation();
        result->InsertFromFile(designed.u16string(), 0);
        result->InsertFromFile((decks_->Path() / "small.ppt").u16string(), result->SlideCount());
        result->SaveAs(target.u16string());
    }
    EXPECT_TRUE(FileBytes(target).starts_with("%PDF-"));
    const std::vector<std::string> pages = PdfPages(target);
    ASSERT_EQ(pages.size(), 4U) << ::testing::PrintToString(pages);
    EXPECT_THAT(pages[0], ::testing::HasSubstr("PDF one"));
    EXPECT_THAT(pages[1], ::testing::HasSubstr("PDF three"));
    EXPECT_THAT(pages[2], ::testing::HasSubstr("小 1"));
    EXPECT_THAT(pages[3], ::testing::HasSubstr("小 2"));
    // Each page shows its deck's master too.
    EXPECT_THAT(pages[0], ::testing::HasSubstr("Logo"));
}

}  // namespace
}  // namespace foliomix::testing
