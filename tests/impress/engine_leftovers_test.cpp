// Profile folders and pipe sockets of runs whose process ended are removed; nothing of a
// running process, another user or another name is touched.
#include "merge/impress/engine_leftovers.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "merge/impress/temporary_directory.h"

namespace foliomix::impress {
namespace {

namespace fs = std::filesystem;

// The id of a process that has certainly ended: a child of ours, reaped.
pid_t EndedPid() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

// A socket file bound at `path`, as the engine's named pipe leaves it.
void MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

TEST(EngineLeftoversTest, RemovesOnlyWhatEndedRunsOfOursLeft) {
    const TemporaryDirectory temporary("foliomix-leftovers-test-");
    const fs::path& folder = temporary.Path();
    const std::string ended = std::to_string(EndedPid());
    const std::string ours = std::to_string(::getpid());
    const std::string running = "1";  // init runs as long as the machine does
    const std::string user = std::to_string(::getuid());

    const fs::path endedProfile = folder / ("foliomix-impress-" + ended + "-Ab12Cd");
    const fs::path ourProfile = folder / ("foliomix-impress-" + ours + "-Ab12Cd");
    const fs::path runningProfile = folder / ("foliomix-impress-" + running + "-Ab12Cd");
    const fs::path unnumbered = folder / "foliomix-impress-Ab12Cd";
    const fs::path otherName = folder / ("foliomix-test-" + ended + "-Ab12Cd");
    for (const fs::path& dir : {endedProfile, ourProfile, runningProfile, unnumbered, otherName}) {
        fs::create_directories(dir / "user");
        std::ofstream(dir / "user" / "registrymodifications.xcu") << "x";
    }
    // A file with a profile's name is not a profile.
    const fs::path fileNamedLikeAProfile = folder / ("foliomix-impress-" + ended + "-file");
    std::ofstream(fileNamedLikeAProfile) << "x";

    const fs::path endedPipe = folder / ("OSL_PIPE_" + user + "_foliomix_" + ended + "_1_42");
    const fs::path ourPipe = folder / ("OSL_PIPE_" + user + "_foliomix_" + ours + "_1_42");
    const fs::path otherUsersPipe = folder / ("OSL_PIPE_" + user + "0_foliomix_" + ended + "_1_42");
    // The engine's single-instance sockets, named after the profiles' URLs.
    const fs::path endedInstance = SingleInstanceSocketPath(folder, ProfileUrl(endedProfile));
    const fs::path ourInstance = SingleInstanceSocketPath(folder, ProfileUrl(ourProfile));
    for (const fs::path& socket :
         {endedPipe, ourPipe, otherUsersPipe, endedInstance, ourInstance}) {
        MakeSocket(socket);
    }

    RemoveLeftoversOfEndedRuns(folder, folder);

    EXPECT_FALSE(fs::exists(endedProfile));
    EXPECT_FALSE(fs::exists(endedPipe));
    EXPECT_FALSE(fs::exists(endedInstance));
    for (const fs::path& kept : {ourProfile, runningProfile, unnumbered, otherName,
                                 fileNamedLikeAProfile, ourPipe, otherUsersPipe, ourInstance}) {
        EXPECT_TRUE(fs::exists(kept)) << kept;
    }
}

TEST(EngineLeftoversTest, NamesCarryThisProcessAndTheSocketIsWhereTheEngineMakesIt) {
    const std::string pid = std::to_string(::getpid());
    EXPECT_EQ(ProfileFolderPrefix(), "foliomix-impress-" + pid + "-");
    EXPECT_EQ(PipeNamePrefix(), "foliomix_" + pid + "_");
    EXPECT_EQ(PipeSocketPath("/tmp", "foliomix_7_1_2"),
              fs::path("/tmp/OSL_PIPE_" + std::to_string(::getuid()) + "_foliomix_7_1_2"));
}

TEST(EngineLeftoversTest, TheSingleInstanceSocketIsNamedAsTheEngineNamesIt) {
    // As LibreOffice 7.4 named it for the profile file:///tmp/p10: the bytes of an MD5 digest,
    // each in hexadecimal without a leading zero (so 29 digits here, not 32).
    EXPECT_EQ(SingleInstanceSocketPath("/tmp", u"file:///tmp/p10"),
              fs::path("/tmp/OSL_PIPE_" + std::to_string(::getuid()) +
                       "_SingleOfficeIPC_5a1ac2f695a386a220ec3fe298e4d3"));
    EXPECT_EQ(ProfileUrl("/tmp/p10"), u"file:///tmp/p10");
}

}  // namespace
}  // namespace foliomix::impress
