// Windows' side of the staged result: what a killed run left is removed, anything of a run that
// may still be going on is not; the rename replaces an existing output only when told to; the
// staging folder is hidden.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "merge/staging/staged_result.h"
#include "merge/staging/staging_platform.h"
#include "tests/windows/cli/case_folder.h"

namespace foliomix::staging {
namespace {

namespace fs = std::filesystem;
using cli::testing::CaseFolder;

std::string Read(const fs::path& file) {
    return cli::testing::FileBytesIfAny(file).value_or("<none>");
}

// A process of ours, held suspended until it is ended (here, or when the object goes).
class HeldProcess {
  public:
    HeldProcess() {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring commandLine = L"\"" + std::wstring(path, length) + L"\" --gtest_list_tests";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                       nullptr, nullptr, &startup, &process_);
    }
    ~HeldProcess() {
        End();
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    HeldProcess(const HeldProcess&) = delete;
    HeldProcess& operator=(const HeldProcess&) = delete;

    [[nodiscard]] DWORD Id() const { return process_.dwProcessId; }
    void End() {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }

  private:
    PROCESS_INFORMATION process_{};
};

std::string Staging(DWORD pid) { return std::string(kStagingPrefix) + std::to_string(pid) + "-1"; }

class WindowsStaging : public ::testing::Test {
  protected:
    void MakeFolder(const std::string& name) const {
        fs::create_directories(folder.Work() / name / "inside");
        std::ofstream(folder.Work() / name / "inside" / "r.pptx") << "half";
    }
    CaseFolder folder;
};

TEST_F(WindowsStaging, RemovesOnlyWhatEndedRunsLeft) {
    HeldProcess ended;
    HeldProcess running;
    ASSERT_NE(ended.Id(), 0U);
    ASSERT_NE(running.Id(), 0U);
    ended.End();
    MakeFolder(Staging(ended.Id()));
    MakeFolder(Staging(running.Id()));
    MakeFolder(Staging(GetCurrentProcessId()));
    MakeFolder(".foliomix-save-x-1");
    // A file under a staging name is nobody's folder.
    std::ofstream(folder.Work() / Staging(ended.Id() + 1000000)) << "a file";

    RemoveFoldersOfEndedRuns(folder.Work(), kStagingPrefix);

    std::vector<std::string> left{Staging(running.Id()), Staging(GetCurrentProcessId()),
                                  ".foliomix-save-x-1", Staging(ended.Id() + 1000000)};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(folder.Names(), left);
}

TEST_F(WindowsStaging, TheRenameReplacesAnExistingOutputOnlyWhenToldTo) {
    const fs::path from = folder.Work() / L"新.pptx";
    const fs::path to = folder.Work() / L"结果.pptx";
    std::ofstream(to) << "old";
    std::ofstream(from) << "new";
    try {
        RenameOnto(from, to, false);
        ADD_FAILURE() << "an existing output was replaced";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::file_exists);
    }
    EXPECT_EQ(Read(to), "old");
    RenameOnto(from, to, true);
    EXPECT_EQ(Read(to), "new");
    EXPECT_FALSE(fs::exists(from));
}

TEST_F(WindowsStaging, TheStagingFolderIsHidden) {
    const StagedResult staged(folder.Work() / L"结果.pptx");
    const DWORD attributes = GetFileAttributesW(staged.EnginePath().parent_path().c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0U);
}

}  // namespace
}  // namespace foliomix::staging
