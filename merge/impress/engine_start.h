// Where the engine is started from and how long it may take to start: what the server's
// options and the engine process's options have in common.
#pragma once

#include <chrono>
#include <string>

namespace foliomix::impress {

struct EngineStart {
    // soffice.bin to start; empty: the installed LibreOffice's.
    std::string program;
    // How long the engine may take to start and accept the connection.
    std::chrono::milliseconds timeout{std::chrono::seconds(90)};
};

}  // namespace foliomix::impress
