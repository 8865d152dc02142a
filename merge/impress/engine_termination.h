// Ending an engine we started: asked politely with a bound on how long it may take to answer,
// and what a killed engine leaves behind removed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string_view>

#include <com/sun/star/frame/XDesktop2.hpp>

namespace foliomix::impress {

// How long the engine may take to end when asked; one that hangs is killed instead.
inline constexpr std::chrono::seconds kTerminateTimeout{10};

// desktop->terminate(); true when the engine is ending. The call waits for the engine's
// answer: should none come within kTerminateTimeout, the process group `group` (the engine's,
// whose leader must not have been reaped yet; 0: none) is killed, which ends the call.
bool TerminateEngine(
    const com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2>& desktop,
    pid_t group) noexcept;

// Removes the sockets of the engine's pipe `pipeName` in `pipeFolder` and of its
// single-instance pipe (empty: none), which an engine that was killed leaves behind.
void RemoveEngineSockets(const std::filesystem::path& pipeFolder, std::string_view pipeName,
                         const std::filesystem::path& singleInstanceSocket) noexcept;

}  // namespace foliomix::impress
