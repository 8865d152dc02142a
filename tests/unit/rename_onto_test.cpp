// The rename of a staged result onto its name when an existing file is to be kept: it must never
// replace a file, not even one that appears while it runs.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "merge/staging/staging_platform.h"
#include "tests/support/files.h"

namespace foliomix::staging {
namespace {

namespace fs = std::filesystem;

class RenameOntoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("foliomix-rename-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

void Write(const fs::path& file, const char* text) { std::ofstream(file) << text; }

TEST_F(RenameOntoTest, ReplacesOnlyWhenToldAndRefusesEveryKindOfTakenName) {
    struct Case {
        const char* name;
        bool targetExists;
        bool replace;
        bool refused;
    };
    for (const Case& c : {Case{"free", false, false, false}, Case{"taken", true, false, true},
                          Case{"taken, replace", true, true, false}}) {
        SCOPED_TRACE(c.name);
        const fs::path from = folder_ / "staged";
        const fs::path to = folder_ / c.name;
        Write(from, "ours");
        if (c.targetExists) {
            Write(to, "theirs");
        }
        bool refused = false;
        try {
            RenameOnto(from, to, c.replace);
        } catch (const std::system_error& e) {
            EXPECT_EQ(e.code(), std::errc::file_exists);
            refused = true;
        }
        EXPECT_EQ(refused, c.refused);
        EXPECT_EQ(testing::FileBytes(to), c.refused ? "theirs" : "ours");
        EXPECT_EQ(fs::exists(from), c.refused);
        fs::remove(from);
    }
    // A dangling link is a taken name too.
    fs::create_symlink(folder_ / "nowhere", folder_ / "link");
    Write(folder_ / "staged", "ours");
    EXPECT_THROW(RenameOnto(folder_ / "staged", folder_ / "link", false), std::system_error);
    EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
}

// Another program creates the name at the very moment of the commit, over and over: in no round
// may both its creation and the commit succeed, for the commit would then have replaced its file.
TEST_F(RenameOntoTest, NeverReplacesAFileCreatedDuringTheCommit) {
    const fs::path from = folder_ / "staged";
    const fs::path to = folder_ / "result.ppt";
    std::atomic<int> round{0};
    std::atomic<int> created{0};
    std::atomic<int> attempted{0};
    std::atomic<bool> stop{false};
    std::jthread other([&] {
        for (int seen = 0; !stop.load();) {
            const int now = round.load();
            if (now == seen) {
                continue;
            }
            seen = now;
            const int fd = ::open(to.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            if (fd >= 0) {
                ::close(fd);
                created.store(now);
            }
            attempted.store(now);
        }
    });
    int bothSucceeded = 0;
    constexpr int kRounds = 5000;
    for (int r = 1; r <= kRounds; ++r) {
        std::error_code ignored;
        fs::remove(to, ignored);
        Write(from, "ours");
        round.store(r);
        bool committed = true;
        try {
            RenameOnto(from, to, false);
        } catch (const std::system_error&) {
            committed = false;
        }
        while (attempted.load() != r) {
        }
        if (committed && created.load() == r) {
            ++bothSucceeded;
        }
        fs::remove(from, ignored);
    }
    stop.store(true);
    EXPECT_EQ(bothSucceeded, 0);
}

}  // namespace
}  // namespace foliomix::staging
