// Starts `sleep 300` as a ChildProcess, writes its pid to the file named by argv[1] and waits
// to be killed: the test kills this process outright and expects the sleep to go with it.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "merge/impress/child_process.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <pid file>\n", argv[0]);
        return 2;
    }
    const foliomix::impress::ChildProcess sleeper("/bin/sleep", {"300"}, {});
    {
        std::ofstream pidFile(std::string(argv[1]) + ".part");
        pidFile << sleeper.Pid() << '\n';
    }
    std::rename((std::string(argv[1]) + ".part").c_str(), argv[1]);
    for (;;) {
        ::pause();
    }
}
