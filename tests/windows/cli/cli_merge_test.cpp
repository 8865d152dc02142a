// foliomix-merge.exe with the stand-in engine: the inputs merged in argument order and saved in
// the format of the output's extension, each exit status reached by a real cause, and a user's
// running engine left with its presentation, its alert setting, and running. After every run
// the work folder holds the inputs and the result only.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/windows/cli/cli_program_test.h"

namespace foliomix::cli::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Optional;

std::vector<std::string> With(std::vector<std::string> names, const std::string& added) {
    names.push_back(added);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(CliProgram, MergesInArgumentOrderAndSavesInTheFormatOfTheExtension) {
    struct Case {
        const char* output;
        const wchar_t* wide;
        const char* fileFormat;  // the engine's SaveAs FileFormat
    };
    for (const Case& c :
         {Case{"结果.pptx", L"结果.pptx", "24"}, Case{"结果.ppt", L"结果.ppt", "1"},
          Case{"结果.odp", L"结果.odp", "35"}, Case{"结果.PDF", L"结果.PDF", "32"}}) {
        SCOPED_TRACE(c.output);
        std::filesystem::remove(folder.LogPath());
        const ProgramEnd end = Run({L"丙.odp", L"甲.ppt", L"-o", c.wide, L"乙.pptx"});

        EXPECT_EQ(end.exitCode, 0U) << end.error;
        EXPECT_EQ(end.output, "");
        EXPECT_EQ(end.error, std::string("[1/3] 丙.odp: 3 slides\n"
                                         "[2/3] 甲.ppt: 2 slides\n"
                                         "[3/3] 乙.pptx: 1 slide\n"
                                         "saving ") +
                                 c.output + "\n");
        EXPECT_THAT(DeckTitles(folder.Work() / c.wide),
                    Optional(ElementsAre("丙一", "丙二", "丙三", "甲一", "甲二", "乙一")));
        // Saved once, under a name of ours in a folder of ours beside the output, with the
        // format given: the engine's default for the name is never relied upon.
        const std::vector<std::string> saves = LogLinesWith(".SaveAs(");
        ASSERT_EQ(saves.size(), 1U);
        EXPECT_THAT(saves[0], HasSubstr("\\.foliomix-save-"));
        EXPECT_THAT(saves[0],
                    ::testing::EndsWith(std::string("\\") + c.output + "\"," + c.fileFormat + ")"));
        EXPECT_TRUE(LogHas("Engine.End()"));
        EXPECT_EQ(folder.Names(), With(decks, c.output));
        std::filesystem::remove(folder.Work() / c.wide);
    }
}

// Picked slides: one insert per run of consecutive slides, said as taken; a pick past a deck's
// last slide fails with exit 4 before anything is saved.
TEST_F(CliProgram, TakesThePickedSlidesInTheOrderWrittenAndRefusesAPickPastTheEnd) {
    ProgramEnd end = Run({L"丙.odp@2-3,1", L"-o", L"选.ppt", L"甲.ppt@2"});
    EXPECT_EQ(end.exitCode, 0U) << end.error;
    EXPECT_EQ(end.error,
              "[1/2] 丙.odp: slides 2\u2013"
              "3, 1 of 3\n"
              "[2/2] 甲.ppt: slide 2 of 2\n"
              "saving 选.ppt\n");
    EXPECT_THAT(DeckTitles(folder.Work() / L"选.ppt"),
                Optional(ElementsAre("丙二", "丙三", "丙一", "甲二")));
    EXPECT_EQ(LogLinesWith(".InsertFromFile(").size(), 3U);
    EXPECT_THAT(LogLinesWith(".InsertFromFile("),
                ElementsAre(HasSubstr(",0,2,3) -> 2"), HasSubstr(",2,1,1) -> 1"),
                            HasSubstr(",3,2,2) -> 1")));
    std::filesystem::remove(folder.Work() / L"选.ppt");

    end = Run({L"-o", L"选.ppt", L"甲.ppt@1-3"});
    EXPECT_EQ(end.exitCode, 4U);
    EXPECT_THAT(end.error,
                ::testing::EndsWith("foliomix-merge: cannot insert 甲.ppt@1-3: it has 2 slides\n"));
    EXPECT_EQ(folder.Names(), decks);
}

TEST_F(CliProgram, EachExitStatusByItsCause) {
    struct Case {
        const char* name;
        std::vector<std::wstring> arguments;
        Environment environment;
        bool outputExists;  // 结果.pptx holds "旧" before the run
        DWORD status;
        const char* message;
        bool engineStarted;
    };
    folder.WriteFile(L"坏.ppt", "not a deck\n");
    const std::vector<std::string> inputs = With(decks, "坏.ppt");
    const std::vector<Case> cases{
        {"MissingInput",
         {L"-o", L"结果.pptx", L"甲.ppt", L"无.ppt", L"乙.pptx"},
         {},
         false,
         2,
         "foliomix-merge: 无.ppt: no such file\n",
         false},
        {"OutputExistsWithoutForce",
         {L"-o", L"结果.pptx", L"甲.ppt"},
         {},
         true,
         2,
         "foliomix-merge: 结果.pptx: exists (--force replaces it)\n",
         false},
        {"EngineOptionRefused",
         {L"--engine", L"C:\\LibreOffice", L"-o", L"结果.pptx", L"甲.ppt"},
         {},
         false,
         3,
         "foliomix-merge: --engine C:\\LibreOffice: the installed Microsoft PowerPoint is the only "
         "engine here\n",
         false},
        {"DeckTheEngineRefuses",
         {L"-o", L"结果.pptx", L"甲.ppt", L"坏.ppt"},
         {},
         false,
         4,
         "foliomix-merge: cannot insert 坏.ppt: the engine could not open or insert it\n",
         true},
        {"OutputFolderMissing",
         {L"-o", L"无此文件夹\\结果.pptx", L"甲.ppt"},
         {},
         false,
         5,
         "foliomix-merge: cannot save 无此文件夹\\结果.pptx: no such folder\n",
         false},
        {"SaveTheEngineRefuses",
         {L"-o", L"结果.pptx", L"--force", L"甲.ppt"},
         {{L"FOLIOMIX_STANDIN_FAIL", L"Presentation.SaveAs"}},
         true,
         5,
         "foliomix-merge: cannot save 结果.pptx: the engine could not write it\n",
         true},
        {"OutputReplacedWithForce",
         {L"-fo", L"结果.pptx", L"甲.ppt"},
         {},
         true,
         0,
         "saving 结果.pptx\n",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder.LogPath());
        const std::filesystem::path output = folder.Work() / L"结果.pptx";
        std::filesystem::remove(output);
        if (c.outputExists) {
            folder.WriteFile(L"结果.pptx", "旧");
        }
        const ProgramEnd end = Run(c.arguments, c.environment);

        EXPECT_EQ(end.exitCode, c.status) << end.error;
        EXPECT_THAT(end.error, HasSubstr(c.message));
        EXPECT_EQ(end.output, "");
        if (c.status == 0) {
            EXPECT_THAT(DeckTitles(output), Optional(ElementsAre("甲一", "甲二")));
        } else {
            EXPECT_EQ(FileBytesIfAny(output),
                      c.outputExists ? std::optional<std::string>("旧") : std::nullopt);
        }
        // The engine starts only for a merge that can succeed, and is ended whatever happens.
        EXPECT_EQ(!folder.Log().empty(), c.engineStarted);
        EXPECT_EQ(LogHas("Engine.Start("), LogHas("Engine.End()"));
        EXPECT_EQ(folder.Names(),
                  c.outputExists || c.status == 0 ? With(inputs, "结果.pptx") : inputs);
    }
}

// The engine already runs with the user's unsaved presentation and alerts off: whether the
// merge succeeds or an insert fails, only our presentations are closed, the engine is not
// quit, and its alerts are put back to the user's false.
TEST_F(CliProgram, LeavesAUsersRunningEngineAsItWas) {
    struct Case {
        const char* name;
        const wchar_t* failing;
        DWORD status;
    };
    for (const Case& c :
         {Case{"Merged", L"", 0}, Case{"InsertFailed", L"Slides.InsertFromFile#2", 4}}) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder.LogPath());
        std::filesystem::remove(folder.Work() / L"结果.ppt");
        const ProgramEnd end = Run({L"-o", L"结果.ppt", L"甲.ppt", L"乙.pptx"},
                                   {{L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1"},
                                    {L"FOLIOMIX_STANDIN_DISPLAY_ALERTS", L"false"},
                                    {L"FOLIOMIX_STANDIN_FAIL", c.failing}});

        EXPECT_EQ(end.exitCode, c.status) << end.error;
        EXPECT_TRUE(LogHas("Engine.Start(presentations=1,alerts=false)"));
        EXPECT_TRUE(LogHas("Presentation[2].Close()"));
        EXPECT_FALSE(LogHas("Presentation[1].Close()"));
        EXPECT_FALSE(LogHas("Application.Quit()"));
        EXPECT_FALSE(LogHas("Engine.Discarded("));
        EXPECT_FALSE(LogHas("Engine.End()"));
        EXPECT_THAT(LogLinesWith("Application.DisplayAlerts.put("),
                    ElementsAre("Application.DisplayAlerts.put(false)",
                                "Application.DisplayAlerts.put(false)"));
    }
}

// Nothing answers to the engine's program identifier: the real "not installed" path.
TEST_F(CliProgram, WithoutAnEngineInstalledEndsWithItsStatusAndLeavesNothing) {
    const ProgramEnd end = Run({L"-o", L"结果.pptx", L"甲.ppt"});
    EXPECT_EQ(end.exitCode, 3U);
    EXPECT_EQ(end.error,
              "foliomix-merge: cannot start Microsoft PowerPoint: "
              "it is not installed or does not start\n");
    EXPECT_THAT(folder.Log(), IsEmpty());
    EXPECT_EQ(folder.Names(), decks);
}

}  // namespace
}  // namespace foliomix::cli::testing
