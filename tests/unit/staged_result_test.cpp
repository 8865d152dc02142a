// The staged result on its own: where the engine is told to write, what is swept from the
// target's folder and what is not, and each way a commit can fail leaving the target as it was.
#include "merge/staging/staged_result.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>

#include "merge/presentation_server.h"
#include "tests/support/files.h"
#include "tests/support/folders.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;

// The id of a process that has just ended.
pid_t EndedPid() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// The kind of the ServerError that `call` throws; nothing when it throws none.
template <typename Call>
std::optional<FailureKind> KindThrownBy(Call&& call) {
    try {
        call();
    } catch (const ServerError& e) {
        return e.Kind();
    }
    return std::nullopt;
}

TEST(StagedResultTest, SweepsOnlyTheFoldersOfEndedRunsOfOurs) {
    const ScratchFolder scratch;
    const fs::path& folder = scratch.Path();
    const std::string ended = std::to_string(EndedPid());
    const fs::path elsewhere = folder / "elsewhere";
    fs::create_directory(elsewhere);
    struct Entry {
        std::string name;
        bool swept;
    };
    const Entry entries[] = {
        {".foliomix-save-" + ended + "-1", true},
        // What the command line's earlier versions staged under.
        {".foliomix-merge-" + ended + "-3", true},
        {".foliomix-save-" + std::to_string(::getppid()) + "-1", false},  // still running
        {".foliomix-save-" + ended, false},                               // not our form
        {".foliomix-saved-things", false},
    };
    for (const Entry& entry : entries) {
        fs::create_directory(folder / entry.name);
        std::ofstream(folder / entry.name / "r.ppt") << "half a deck";
    }
    // A file and a link under an ended run's name are not folders of ours.
    std::ofstream(folder / (".foliomix-save-" + ended + "-2")) << "a file";
    fs::create_directory_symlink(elsewhere, folder / (".foliomix-save-" + ended + "-4"));
    std::ofstream(elsewhere / "theirs") << "kept";

    const StagedResult staged(folder / "out.ppt");
    for (const Entry& entry : entries) {
        EXPECT_EQ(fs::exists(folder / entry.name), !entry.swept) << entry.name;
    }
    EXPECT_TRUE(fs::is_regular_file(folder / (".foliomix-save-" + ended + "-2")));
    EXPECT_TRUE(fs::exists(elsewhere / "theirs"));
}

TEST(StagedResultTest, TheEngineWritesInAFolderOfOursUnderTheNameOrAShortOneWhenLong) {
    const ScratchFolder scratch;
    const std::string ours = ".foliomix-save-" + std::to_string(::getpid()) + "-";
    // 247 bytes leave room for LibreOffice's lock file name within the 255 of a name.
    struct Case {
        std::size_t stem;  // 0: a name in Chinese; else that many "x"
        bool shortened;
    };
    for (const Case& c : {Case{0, false}, Case{242, false}, Case{243, true}}) {
        const std::string name = (c.stem == 0 ? "合并结果" : std::string(c.stem, 'x')) + ".pptx";
        SCOPED_TRACE(name.size());
        std::optional<fs::path> folder;
        {
            const StagedResult staged(scratch.Path() / fs::u8path(name));
            const fs::path& engine = staged.EnginePath();
            EXPECT_EQ(engine.filename(), fs::u8path(c.shortened ? "result.pptx" : name));
            folder = engine.parent_path();
            EXPECT_EQ(folder->parent_path(), scratch.Path());
            EXPECT_TRUE(folder->filename().string().starts_with(ours));
            EXPECT_TRUE(fs::is_directory(*folder));
        }
        EXPECT_FALSE(fs::exists(*folder));
    }
}

TEST(StagedResultTest, ACommitRenamesOntoTheTargetOrFailsLeavingItAsItWas) {
    struct Case {
        const char* name = "";
        bool engineWrote = false;
        std::optional<std::string> existing;
        ExistingFile mode = ExistingFile::Keep;
        std::optional<FailureKind> failure;
        std::optional<std::string> after;
    };
    const Case cases[] = {
        {"New", true, std::nullopt, ExistingFile::Keep, std::nullopt, "new"},
        {"Replaced", true, "old", ExistingFile::Replace, std::nullopt, "new"},
        {"Kept", true, "old", ExistingFile::Keep, FailureKind::ResultExists, "old"},
        {"NothingWritten", false, "old", ExistingFile::Replace, FailureKind::Other, "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScratchFolder scratch;
        const fs::path target = scratch.Path() / "out.ppt";
        if (c.existing) {
            std::ofstream(target) << *c.existing;
        }
        {
            StagedResult staged(target);
            if (c.engineWrote) {
                std::ofstream(staged.EnginePath()) << "new";
            }
            EXPECT_EQ(KindThrownBy([&] { staged.Commit(c.mode); }), c.failure);
        }
        EXPECT_EQ(FileBytesIfAny(target), c.after);
        EXPECT_EQ(NamesIn(scratch.Path()), std::vector<std::string>{"out.ppt"});
    }
}

TEST(StagedResultTest, AMissingFolderIsToldAsSuch) {
    const ScratchFolder scratch;
    EXPECT_EQ(KindThrownBy([&] { const StagedResult staged(scratch.Path() / "no" / "out.ppt"); }),
              FailureKind::NoSuchFolder);
}

}  // namespace
}  // namespace foliomix::testing
