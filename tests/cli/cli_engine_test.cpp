// foliomix-merge itself, started as a user starts it, with the real engine: inputs of every
// format merged in argument order and read back slide by slide, an input list from a file and
// from the standard input, each exit status reached by a real cause, and a merge interrupted
// by a signal; after every run no engine runs and nothing of ours is left on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "merge/impress/engine_location.h"
#include "merge/impress/temporary_directory.h"
#include "tests/cli/program_process.h"
#include "tests/impress/deck_design.h"
#include "tests/impress/deck_maker.h"
#include "tests/support/files.h"

#ifndef FOLIOMIX_MERGE_PROGRAM
#error "FOLIOMIX_MERGE_PROGRAM must name the program under test"
#endif

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr int kLongDecks = 8;

class CliEngineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        decks_ = std::make_unique<impress::TemporaryDirectory>("foliomix-cli-decks-");
        DeckMaker maker;
        maker.Make(Deck("one.ppt"), {"PPT 1", "PPT 2"});
        // Made by extension, each with its second slide hidden.
        MakeDesignedDeck(maker.Engine(), Deck("two.pptx"), {"PPTX 1", "PPTX 2", "PPTX 3"},
                         {{28000, 15750}, 0x204060, "X", "DejaVu Sans", {}});
        MakeDesignedDeck(maker.Engine(), Deck("three.odp"), {"ODP 1", "ODP 2", "ODP 3"},
                         {{25400, 19050}, 0x604020, "O", "DejaVu Serif", {}});
        std::ofstream(Deck("not a deck.ppt")) << "a text file under a deck's name\n";
        std::ofstream(Deck("空 .ppt")).flush();
        for (int deck = 1; deck <= kLongDecks; ++deck) {
            std::vector<std::string> titles;
            for (int slide = 1; slide <= 40; ++slide) {
                titles.push_back("L" + std::to_string(deck) + " " + std::to_string(slide));
            }
            maker.Make(Deck("long " + std::to_string(deck) + ".ppt"), titles);
        }
    }
    static void TearDownTestSuite() { decks_.reset(); }

    static fs::path Deck(const std::string& name) { return decks_->Path() / name; }

    // The program in the work folder, with a temporary folder of its own.
    [[nodiscard]] ProgramSetup SetupFor(std::vector<std::string> arguments) const {
        return {std::move(arguments), work_.Path(), {"TMPDIR=" + temporary_.Path().string()}, ""};
    }

    // No engine of the program's runs, and nothing of ours is left in its folders.
    void ExpectNothingLeft(pid_t program, const std::vector<std::string>& work) const {
        EXPECT_THAT(ProcessesMentioning("foliomix-impress-" + std::to_string(program) + "-"),
                    IsEmpty());
        EXPECT_THAT(NamesIn(temporary_.Path()), IsEmpty());
        EXPECT_EQ(NamesIn(work_.Path()), work);
    }

    [[nodiscard]] fs::path Work(const std::string& name) const { return work_.Path() / name; }

    static inline std::unique_ptr<impress::TemporaryDirectory> decks_;
    impress::TemporaryDirectory work_{"foliomix-cli-work-"};
    impress::TemporaryDirectory temporary_{"foliomix-cli-tmp-"};
};

TEST_F(CliEngineTest, MergesEveryFormatInArgumentOrderIntoEachFormat) {
    struct Case {
        std::string output;
        bool quiet;
    };
    for (const Case& c :
         {Case{"merged.pptx", false}, Case{"merged.ppt", false}, Case{"merged.odp", true}}) {
        SCOPED_TRACE(c.output);
        std::vector<std::string> arguments{Deck("three.odp"), Deck("one.ppt"), Deck("two.pptx"),
                                           "-o", c.output};
        if (c.quiet) {
            arguments.emplace_back("-q");
        }
        ProgramProcess program(FOLIOMIX_MERGE_PROGRAM, SetupFor(arguments));
        const auto end = program.Finish(5min);
        ASSERT_TRUE(end);
        EXPECT_EQ(end->exitCode, 0) << end->standardError;
        EXPECT_EQ(end->standardOutput, "");
        EXPECT_EQ(end->standardError, c.quiet ? ""
                                              : "[1/3] three.odp: 3 slides\n"
                                                "[2/3] one.ppt: 2 slides\n"
                                                "[3/3] two.pptx: 3 slides\n"
                                                "saving " +
                                                    c.output + "\n");
        DeckMaker reader;
        const SavedDeck merged = reader.Read(Work(c.output));
        EXPECT_THAT(merged.visibleSlides,
                    ElementsAre("ODP 1", "ODP 3", "PPT 1", "PPT 2", "PPTX 1", "PPTX 3"));
        EXPECT_EQ(merged.hiddenSlides, 2);
        ExpectNothingLeft(program.Pid(), {c.output});
        fs::remove(Work(c.output));
    }
}

TEST_F(CliEngineTest, InputsFromAListFollowThoseGivenAsArguments) {
    // Written as a Windows editor writes it: a byte order mark, CR LF, an empty line.
    const std::string list = "\xEF\xBB\xBF" + Deck("two.pptx").string() + "\r\n\r\n" +
                             Deck("three.odp").string() + "\r\n";
    std::ofstream(Work("list.txt"), std::ios::binary) << list;
    for (const std::string& from : {std::string("list.txt"), std::string("-")}) {
        SCOPED_TRACE(from);
        // What a killed run left here goes with this one.
        const fs::path killedRun =
            Work(".foliomix-save-" + std::to_string(EndedProcessId()) + "-1");
        fs::create_directory(killedRun);
        std::ofstream(killedRun / "r.pptx") << "half a deck";
        ProgramSetup setup = SetupFor({Deck("one.ppt"), "--from-file", from, "-qo", "r.pptx"});
        setup.standardInput = list;
        const ProgramEnd end = RunProgram(FOLIOMIX_MERGE_PROGRAM, setup);
        EXPECT_EQ(end.exitCode, 0) << end.standardError;
        DeckMaker reader;
        EXPECT_THAT(reader.Read(Work("r.pptx")).visibleSlides,
                    ElementsAre("PPT 1", "PPT 2", "PPTX 1", "PPTX 3", "ODP 1", "ODP 3"));
        EXPECT_THAT(NamesIn(work_.Path()), ElementsAre("list.txt", "r.pptx"));
        fs::remove(Work("r.pptx"));
    }
}

TEST_F(CliEngineTest, EachExitStatusHasARealCause) {
    // An engine on the PATH that ends as soon as it starts.
    const impress::TemporaryDirectory brokenEngine("foliomix-cli-engine-");
    std::ofstream(brokenEngine.Path() / "soffice.bin") << "#!/bin/sh\nexit 1\n";
    fs::permissions(brokenEngine.Path() / "soffice.bin", fs::perms::owner_all);
    fs::create_symlink(brokenEngine.Path() / "soffice.bin", brokenEngine.Path() / "soffice");
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        int exitCode;
        // Every line of the standard error, each as it starts; a message ending in ": " goes on
        // with the engine's reason.
        std::vector<std::string> lines;
        bool oldOutputStays = false;  // else: no output at all
        std::vector<std::string> environment = {};
    };
    const std::string notADeck = Deck("not a deck.ppt");
    for (const Case& c : {
             Case{"BadInputs",
                  {"-o", "r.ppt", Deck("one.ppt"), "missing.ppt", decks_->Path().string(), ""},
                  2,
                  {"foliomix-merge: missing.ppt: no such file",
                   "foliomix-merge: " + decks_->Path().string() + ": a folder, not a file",
                   "foliomix-merge: \"\": the name is empty"}},
             Case{"OutputExists",
                  {"-o", "r.ppt", Deck("one.ppt")},
                  2,
                  {"foliomix-merge: r.ppt: exists (--force replaces it)"},
                  true},
             Case{"UnknownFormat",
                  {"-o", "r.key", Deck("one.ppt")},
                  2,
                  {"foliomix-merge: r.key: the extension gives no format"}},
             Case{"EngineDoesNotStart",
                  {"-o", "r.ppt", Deck("one.ppt")},
                  3,
                  {"foliomix-merge: cannot start LibreOffice Impress: "},
                  false,
                  // The broken engine first on PATH, and no engine named otherwise.
                  {"PATH=" + brokenEngine.Path().string() + ":" + std::getenv("PATH"),
                   "FOLIOMIX_ENGINE="}},
             Case{"EngineOptionNamesNone",
                  {"--engine", decks_->Path().string(), "-o", "r.ppt", Deck("one.ppt")},
                  3,
                  {"foliomix-merge: " + decks_->Path().string() +
                   ": not a LibreOffice engine (name its soffice or its program folder)"}},
             Case{"EngineVariableNamesNone",
                  {"-o", "r.ppt", Deck("one.ppt")},
                  3,
                  {"foliomix-merge: FOLIOMIX_ENGINE=/nowhere/soffice: not a LibreOffice engine"},
                  false,
                  {"FOLIOMIX_ENGINE=/nowhere/soffice"}},
             Case{"NotADeck",
                  {"-fo", "r.ppt", Deck("one.ppt"), notADeck, Deck("two.pptx")},
                  4,
                  {"[1/3] one.ppt: 2 slides", "foliomix-merge: cannot insert " + notADeck + ": "},
                  true},
             Case{"NoSuchOutputFolder",
                  {"-o", "no/such/r.ppt", Deck("one.ppt")},
                  5,
                  {"foliomix-merge: cannot save no/such/r.ppt: no such folder"}},
         }) {
        SCOPED_TRACE(c.name);
        if (c.oldOutputStays) {
            std::ofstream(Work("r.ppt")) << "the old result";
        }
        ProgramSetup setup = SetupFor(c.arguments);
        setup.environment.insert(setup.environment.end(), c.environment.begin(),
                                 c.environment.end());
        ProgramProcess program(FOLIOMIX_MERGE_PROGRAM, setup);
        const auto end = program.Finish(5min);
        ASSERT_TRUE(end);
        EXPECT_EQ(end->exitCode, c.exitCode) << end->standardError;
        std::vector<std::string> lines;
        std::istringstream error(end->standardError);
        for (std::string line; std::getline(error, line);) {
            lines.push_back(line);
        }
        ASSERT_EQ(lines.size(), c.lines.size()) << end->standardError;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_THAT(lines[i], ::testing::StartsWith(c.lines[i]));
            if (c.lines[i].ends_with(": ")) {
                EXPECT_GT(lines[i].size(), c.lines[i].size()) << "no reason given";
            }
        }
        if (c.oldOutputStays) {
            EXPECT_EQ(FileBytes(Work("r.ppt")), "the old result");
        }
        ExpectNothingLeft(program.Pid(), c.oldOutputStays ? std::vector<std::string>{"r.ppt"}
                                                          : std::vector<std::string>{});
        fs::remove(Work("r.ppt"));
    }
}

// An empty file or a text file under a deck's name, first, in the middle or last: refused at its
// insert, named as given, with the reason in plain words; -v adds the engine's own words.
TEST_F(CliEngineTest, AFileThatIsNoPresentationIsRefusedWhereverItComes) {
    for (const fs::path& badDeck : {Deck("空 .ppt"), Deck("not a deck.ppt")}) {
        const std::string bad = badDeck.string();
        for (std::size_t at = 0; at <= 2; ++at) {
            std::vector<std::string> arguments = {"-o", "r.pptx", Deck("one.ppt"),
                                                  Deck("three.odp")};
            arguments.insert(arguments.begin() + 2 + static_cast<std::ptrdiff_t>(at), bad);
            const bool verbose = at == 1;
            if (verbose) {
                arguments.emplace_back("-v");
            }
            SCOPED_TRACE(bad + " at " + std::to_string(at));
            ProgramProcess program(FOLIOMIX_MERGE_PROGRAM, SetupFor(arguments));
            const auto end = program.Finish(5min);
            ASSERT_TRUE(end);
            EXPECT_EQ(end->exitCode, 4) << end->standardError;
            const std::string refusal =
                "foliomix-merge: cannot insert " + bad + ": not a presentation\n";
            if (verbose) {
                EXPECT_THAT(end->standardError,
                            HasSubstr(refusal + "foliomix-merge: LibreOffice Impress said: "));
            } else {
                EXPECT_THAT(end->standardError, EndsWith(refusal));
                EXPECT_THAT(end->standardError, Not(HasSubstr("file:")));
            }
            ExpectNothingLeft(program.Pid(), {});
        }
    }
}

// The engine named by --engine, which wins over FOLIOMIX_ENGINE, or by that variable alone.
TEST_F(CliEngineTest, TheEngineNamedIsTheOneDriven) {
    const std::string program = fs::path(impress::FindInstalledEngine()).parent_path().string();
    ASSERT_FALSE(program.empty());
    for (const auto& [arguments, variable] :
         {std::pair<std::vector<std::string>, std::string>{
              {"--engine", program, "-o", "r.ppt", Deck("one.ppt")},
              "FOLIOMIX_ENGINE=/nowhere/soffice"},
          {{"-o", "r.ppt", Deck("one.ppt")}, "FOLIOMIX_ENGINE=" + program + "/soffice"}}) {
        SCOPED_TRACE(variable);
        ProgramSetup setup = SetupFor(arguments);
        setup.environment.push_back(variable);
        ProgramProcess run(FOLIOMIX_MERGE_PROGRAM, setup);
        const auto end = run.Finish(5min);
        ASSERT_TRUE(end);
        EXPECT_EQ(end->exitCode, 0) << end->standardError;
        ExpectNothingLeft(run.Pid(), {"r.ppt"});
        fs::remove(Work("r.ppt"));
    }
}

TEST_F(CliEngineTest, ASignalDuringAMergeEndsTheEngineAndLeavesNoOutput) {
    struct Case {
        int signal;
        // The engine stopped first: its pending call never returns, so only the program's stop
        // request ends it, long before the adapter's watch would count it stuck (30 s idle).
        bool engineStopped;
        std::chrono::seconds bound;
    };
    for (const Case& c : {Case{SIGINT, false, 60s}, Case{SIGTERM, true, 15s}}) {
        SCOPED_TRACE(c.signal);
        std::vector<std::string> arguments{"-o", "r.pptx"};
        for (int deck = 1; deck <= kLongDecks; ++deck) {
            arguments.push_back(Deck("long " + std::to_string(deck) + ".ppt"));
        }
        ProgramProcess program(FOLIOMIX_MERGE_PROGRAM, SetupFor(arguments));
        const std::string profile = "foliomix-impress-" + std::to_string(program.Pid()) + "-";
        ASSERT_TRUE(program.WaitForError("[1/" + std::to_string(kLongDecks) + "]", 2min));
        const std::vector<int> engine = ProcessesMentioning(profile);
        ASSERT_THAT(engine, ::testing::Not(IsEmpty()));
        if (c.engineStopped) {
            for (const int pid : engine) {
                ::kill(pid, SIGSTOP);
            }
        }
        program.Signal(c.signal);
        const auto end = program.Finish(c.bound);
        ASSERT_TRUE(end) << "still running";
        EXPECT_EQ(end->exitCode, 130) << end->standardError;
        EXPECT_THAT(end->standardError, ::testing::EndsWith("\nfoliomix-merge: interrupted\n"));
        EXPECT_THAT(end->standardError, ::testing::Not(HasSubstr("saving")));
        for (const int pid : engine) {
            EXPECT_FALSE(ProcessAlive(pid)) << pid;
        }
        ExpectNothingLeft(program.Pid(), {});
    }
}

}  // namespace
}  // namespace foliomix::testing
