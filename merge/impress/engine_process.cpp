#include "merge/impress/engine_process.h"

#include <system_error>
#include <vector>

#include "merge/impress/engine_launch.h"
#include "merge/impress/engine_leftovers.h"
#include "merge/impress/engine_location.h"
#include "merge/impress/engine_profile.h"
#include "merge/impress/engine_termination.h"
#include "merge/impress/uno_runtime.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = com::sun::star::uno;
namespace frame = com::sun::star::frame;

namespace {

// soffice.bin's exit status when it wants to be started again (what its launcher does).
constexpr int kRestartRequested = 81;

std::filesystem::path TemporaryFolder() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path("/tmp") : folder;
}

}  // namespace

EngineProcess::EngineProcess(const EngineOptions& options) : killSwitch_(options.killSwitch) {
    const std::string program =
        options.start.program.empty() ? FindInstalledEngine() : options.start.program;
    if (program.empty() || !IsExecutable(program)) {
        throw ServerError("LibreOffice (soffice.bin) not found");
    }
    // Our UNO runtime is the one this program was built against, whichever engine it starts.
    // It is bootstrapped before versionrc is read below: what that file does not define is
    // looked up in the runtime's fundamentalrc, as the engine does.
    const uno::Reference<uno::XComponentContext> local =
        LocalUnoContext(BuiltAgainstProgramFolder());

    RemoveLeftoversOfEndedRuns(TemporaryFolder(), EnginePipeFolder());
    profile_ = std::make_unique<TemporaryDirectory>(ProfileFolderPrefix());
    SeedProfile(profile_->Path(), ReadProfileSeed(std::filesystem::path(program).parent_path()));
    pipeName_ = UniquePipeName();
    const std::u16string profileUrl = ProfileUrl(profile_->Path());
    singleInstanceSocket_ = SingleInstanceSocketPath(EnginePipeFolder(), profileUrl);
    const std::vector<std::string> arguments = EngineArguments(profileUrl, pipeName_);
    // The engine's own temporary files go into the profile, and so with it on every path.
    const std::filesystem::path engineTemporary = profile_->Path() / "tmp";
    std::filesystem::create_directories(engineTemporary);
    const std::vector<std::string> environment = EngineLaunchEnvironment(engineTemporary);
    try {
        child_ = std::make_unique<ChildProcess>(program, arguments, environment);
        ArmKillSwitch();
        ConnectToEngine(
            local, pipeName_, options.start.timeout, killSwitch_,
            [&] {
                if (child_->Running()) {
                    return true;
                }
                // On a profile it has not set up (the seed above did not take) soffice.bin
                // sets it up and asks to be started again.
                if (child_->ExitCode() != kRestartRequested) {
                    return false;
                }
                child_ = std::make_unique<ChildProcess>(program, arguments, environment);
                ArmKillSwitch();
                return true;
            },
            connection_);
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

const uno::Reference<uno::XComponentContext>& EngineProcess::Context() const {
    if (!connection_.context.is()) {
        throw ServerError("LibreOffice is not running");
    }
    return connection_.context;
}

const uno::Reference<frame::XDesktop2>& EngineProcess::Desktop() const {
    if (!connection_.desktop.is()) {
        throw ServerError("LibreOffice is not running");
    }
    return connection_.desktop;
}

const uno::Reference<frame::XDispatchHelper>& EngineProcess::Dispatcher() const {
    if (!connection_.dispatcher.is()) {
        throw ServerError("LibreOffice is not running");
    }
    return connection_.dispatcher;
}

void EngineProcess::ClearClipboard() const {
    if (!connection_.clipboard.is()) {
        throw ServerError("LibreOffice is not running");
    }
    connection_.clipboard->setContents({}, {});
}

std::filesystem::path EngineProcess::ProfileDirectory() const {
    return profile_ ? profile_->Path() : std::filesystem::path();
}

void EngineProcess::Shutdown() noexcept {
    parking_->CloseParked();
    // Released while the engine still reads its end of the connection: a release written
    // after the engine has gone would end this process by SIGPIPE.
    scripts_.clear();
    bool terminating = false;
    if (connection_.desktop.is()) {
        terminating = TerminateEngine(connection_.desktop, child_ ? child_->Pid() : 0);
    }
    connection_.clipboard.clear();
    connection_.dispatcher.clear();
    connection_.desktop.clear();
    connection_.context.clear();
    if (child_) {
        if (terminating) {
            child_->WaitForExit(kTerminateTimeout);
        }
        child_->Kill();
        child_.reset();
        if (killSwitch_ != nullptr) {
            killSwitch_->Arm(0);
        }
        RemoveEngineSockets(EnginePipeFolder(), pipeName_, singleInstanceSocket_);
    }
    profile_.reset();
}

}  // namespace foliomix::impress
