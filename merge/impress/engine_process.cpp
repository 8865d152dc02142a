#include "merge/impress/engine_process.h"

#include <unistd.h>

#include <signal.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <stop_token>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/datatransfer/clipboard/SystemClipboard.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include "merge/impress/engine_environment.h"
#include "merge/impress/engine_leftovers.h"
#include "merge/impress/engine_profile.h"
#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = com::sun::star::uno;
namespace bridge = com::sun::star::bridge;
namespace frame = com::sun::star::frame;
namespace clipboard = com::sun::star::datatransfer::clipboard;

namespace {

std::vector<std::string> CurrentEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    return entries;
}

#ifndef FOLIOMIX_LO_PROGRAM_DIR
#define FOLIOMIX_LO_PROGRAM_DIR "/usr/lib/libreoffice/program"
#endif

// soffice.bin's exit status when it wants to be started again (what its launcher does).
constexpr int kRestartRequested = 81;

bool IsExecutable(const std::filesystem::path& path) {
    return ::access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path);
}

// This process's own UNO runtime, bootstrapped once from the engine's URE. It stays for the
// life of the process: the bridges to every engine we start are made with it.
uno::Reference<uno::XComponentContext> LocalContext(const std::filesystem::path& programDir) {
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (!context.is()) {
        rtl::Bootstrap::set(
            "URE_BOOTSTRAP",
            "vnd.sun.star.pathname:" + Utf8ToOUString((programDir / "fundamentalrc").string()));
        try {
            context = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const cppu::BootstrapException& e) {
            throw ServerError("UNO runtime: " + ToUtf8(e.getMessage()));
        } catch (const uno::Exception& e) {
            throw ServerError("UNO runtime: " + ToUtf8(e.Message));
        }
    }
    return context;
}

std::string UniquePipeName() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    return PipeNamePrefix() + std::to_string(++counter) + "_" + std::to_string(random());
}

// Where the engine's runtime makes the socket of a named pipe.
const std::filesystem::path kPipeFolder = "/tmp";

// How long the engine may take to end when asked; one that hangs is killed instead.
constexpr auto kTerminateTimeout = std::chrono::seconds(10);

std::filesystem::path TemporaryFolder() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path("/tmp") : folder;
}

}  // namespace

std::string FindInstalledEngine() {
    std::vector<std::filesystem::path> candidates;
    // soffice on PATH is usually a link or a script beside soffice.bin.
    if (const char* pathVariable = std::getenv("PATH")) {
        std::string_view rest(pathVariable);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::filesystem::path folder(std::string(rest.substr(0, colon)));
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
            std::error_code error;
            const std::filesystem::path soffice = folder / "soffice";
            if (folder.empty() || !std::filesystem::exists(soffice, error)) {
                continue;
            }
            const std::filesystem::path real = std::filesystem::canonical(soffice, error);
            if (!error) {
                candidates.push_back(real.parent_path() / "soffice.bin");
            }
        }
    }
    candidates.emplace_back(std::filesystem::path(FOLIOMIX_LO_PROGRAM_DIR) / "soffice.bin");
    for (const auto& candidate : candidates) {
        if (IsExecutable(candidate)) {
            return candidate.string();
        }
    }
    return {};
}

EngineProcess::EngineProcess(const EngineOptions& options) : killSwitch_(options.killSwitch) {
    const std::string program = options.program.empty() ? FindInstalledEngine() : options.program;
    if (program.empty() || !IsExecutable(program)) {
        throw ServerError("LibreOffice (soffice.bin) not found");
    }
    // Our UNO runtime is the one this program was built against, whichever engine it starts.
    const uno::Reference<uno::XComponentContext> local = LocalContext(FOLIOMIX_LO_PROGRAM_DIR);

    RemoveLeftoversOfEndedRuns(TemporaryFolder(), kPipeFolder);
    profile_ = std::make_unique<TemporaryDirectory>(ProfileFolderPrefix());
    SeedProfile(profile_->Path(), ReadProfileSeed(std::filesystem::path(program).parent_path()));
    pipeName_ = UniquePipeName();
    const std::u16string profileUrl = ProfileUrl(profile_->Path());
    singleInstanceSocket_ = SingleInstanceSocketPath(kPipeFolder, profileUrl);
    const std::string& pipeName = pipeName_;
    const std::vector<std::string> arguments{
        "-env:UserInstallation=" + ToUtf8(ToOUString(profileUrl)),
        "--headless",
        "--invisible",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck",
        "--accept=pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext"};
    // The engine's own temporary files go into the profile, and so with it on every path.
    const std::filesystem::path engineTemporary = profile_->Path() / "tmp";
    std::filesystem::create_directories(engineTemporary);
    std::vector<std::string> environment = EngineEnvironment(CurrentEnvironment());
    std::erase_if(environment,
                  [](const std::string& entry) { return entry.starts_with("TMPDIR="); });
    environment.push_back("TMPDIR=" + engineTemporary.string());
    try {
        child_ = std::make_unique<ChildProcess>(program, arguments, environment);
        ArmKillSwitch();
        Connect(local, pipeName, options.startTimeout, [&] {
            // On a profile it has not set up (the seed above did not take) soffice.bin sets it
            // up and asks to be started again.
            if (child_->ExitCode() != kRestartRequested) {
                return false;
            }
            child_ = std::make_unique<ChildProcess>(program, arguments, environment);
            ArmKillSwitch();
            return true;
        });
    } catch (...) {
        Shutdown();
        throw;
    }
}

EngineProcess::~EngineProcess() { Shutdown(); }

void EngineProcess::ArmKillSwitch() {
    if (killSwitch_ != nullptr) {
        killSwitch_->Arm(child_->Pid());
    }
}

void EngineProcess::Connect(const uno::Reference<uno::XComponentContext>& local,
                            const std::string& pipeName, std::chrono::milliseconds timeout,
                            const std::function<bool()>& restart) {
    const auto resolver = bridge::UnoUrlResolver::create(local);
    const rtl::OUString url =
        Utf8ToOUString("uno:pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (killSwitch_ != nullptr && killSwitch_->Trips() > 0) {
            throw ServerError("the start was abandoned: " + killSwitch_->Reason());
        }
        if (!child_->Running() && !restart()) {
            throw ServerError("LibreOffice ended before it accepted the connection");
        }
        try {
            context_.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
            desktop_ = frame::Desktop::create(context_);
            dispatcher_ = frame::DispatchHelper::create(context_);
            clipboard_ = clipboard::SystemClipboard::create(context_);
            return;
        } catch (const com::sun::star::connection::NoConnectException&) {
            // Not accepting yet.
        } catch (const uno::Exception& e) {
            throw ServerError("cannot connect to LibreOffice: " + ToUtf8(e.Message));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw ServerError("LibreOffice did not accept the connection in time");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

const uno::Reference<uno::XComponentContext>& EngineProcess::Context() const {
    if (!context_.is()) {
        throw ServerError("LibreOffice is not running");
    }
    return context_;
}

const uno::Reference<frame::XDesktop2>& EngineProcess::Desktop() const {
    if (!desktop_.is()) {
        throw ServerError("LibreOffice is not running");
    }
    return desktop_;
}

const uno::Reference<frame::XDispatchHelper>& EngineProcess::Dispatcher() const {
    if (!dispatcher_.is()) {
        throw ServerError("LibreOffice is not running");
    }
    return dispatcher_;
}

void EngineProcess::ClearClipboard() const {
    if (!clipboard_.is()) {
        throw ServerError("LibreOffice is not running");
    }
    clipboard_->setContents({}, {});
}

std::filesystem::path EngineProcess::ProfileDirectory() const {
    return profile_ ? profile_->Path() : std::filesystem::path();
}

void EngineProcess::Shutdown() noexcept {
    bool terminating = false;
    if (desktop_.is()) {
        terminating = Terminate();
    }
    clipboard_.clear();
    dispatcher_.clear();
    desktop_.clear();
    context_.clear();
    if (child_) {
        if (terminating) {
            child_->WaitForExit(std::chrono::seconds(10));
        }
        child_->Kill();
        child_.reset();
        if (killSwitch_ != nullptr) {
            killSwitch_->Arm(0);
        }
        // An engine that was killed leaves the sockets of its pipes behind.
        std::error_code ignored;
        std::filesystem::remove(PipeSocketPath(kPipeFolder, pipeName_), ignored);
        if (!singleInstanceSocket_.empty()) {
            std::filesystem::remove(singleInstanceSocket_, ignored);
        }
    }
    profile_.reset();
}

bool EngineProcess::Terminate() noexcept {
    // terminate() waits for the engine's answer. An engine that hangs is killed meanwhile:
    // that takes the bridge down, which ends the call. The leader is not reaped before the
    // watch ends, so its process group cannot be anyone else's yet.
    std::mutex mutex;
    std::condition_variable_any finished;
    const pid_t group = child_ ? child_->Pid() : 0;
    std::jthread watch([&, group](const std::stop_token& stop) {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, stop, kTerminateTimeout, [] { return false; }) &&
            !stop.stop_requested() && group > 0) {
            ::kill(-group, SIGKILL);
        }
    });
    try {
        return desktop_->terminate();
    } catch (const uno::Exception&) {
        // The bridge goes down while the engine ends: that is the expected answer.
        return true;
    }
}

}  // namespace foliomix::impress
