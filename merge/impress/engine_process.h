// One headless LibreOffice of our own: soffice.bin started with a private temporary user
// profile and a uniquely named pipe, and the UNO connection to it. The process and the
// profile end with this object (or with Shutdown), on every path.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "merge/impress/child_process.h"
#include "merge/impress/document_parking.h"
#include "merge/impress/engine_connection.h"
#include "merge/impress/engine_start.h"
#include "merge/impress/kill_switch.h"
#include "merge/impress/temporary_directory.h"

namespace foliomix::impress {

struct EngineOptions {
    EngineStart start{};
    // Armed with the engine process while it runs, so that another thread can end it; a trip
    // during the start makes the start give up. None: nothing ends it from outside.
    KillSwitch* killSwitch = nullptr;
};

class EngineProcess {
  public:
    // Starts the engine and connects to it; throws ServerError when it cannot be found, does
    // not start, or never accepts. Nothing is left behind after a throw.
    explicit EngineProcess(const EngineOptions& options);
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Throw ServerError once the engine has been shut down.
    [[nodiscard]] const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>&
    Context() const;
    [[nodiscard]] const com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2>& Desktop()
        const;
    [[nodiscard]] const com::sun::star::uno::Reference<com::sun::star::frame::XDispatchHelper>&
    Dispatcher() const;

    // Empties the clipboard that the engine's copy and paste commands use.
    void ClearClipboard() const;

    // The functions of our Basic modules already looked up in this engine, by script address:
    // handing a module over and looking a function up cost more than most runs of it.
    using BasicScripts =
        std::map<std::string,
                 com::sun::star::uno::Reference<com::sun::star::script::provider::XScript>>;
    [[nodiscard]] BasicScripts& Scripts() const { return scripts_; }

    [[nodiscard]] bool Running() const { return child_ != nullptr; }
    [[nodiscard]] pid_t Pid() const { return child_ ? child_->Pid() : 0; }
    [[nodiscard]] std::filesystem::path ProfileDirectory() const;
    // Where this engine's closed documents wait for the next close (see DocumentParking).
    [[nodiscard]] std::weak_ptr<DocumentParking> Parking() const { return parking_; }

    // Asks the engine to terminate, waits a bounded time, then kills what is left and removes
    // the profile. The process is certainly gone afterwards, even if the engine hangs. Safe to
    // call more than once.
    void Shutdown() noexcept;

  private:
    // Gives the kill switch the process that runs now.
    void ArmKillSwitch();

    std::shared_ptr<DocumentParking> parking_ = std::make_shared<DocumentParking>();
    std::unique_ptr<TemporaryDirectory> profile_;
    std::unique_ptr<ChildProcess> child_;
    EngineConnection connection_;
    mutable BasicScripts scripts_;
    KillSwitch* killSwitch_ = nullptr;
    std::string pipeName_;
    std::filesystem::path singleInstanceSocket_;
};

}  // namespace foliomix::impress
