// Answers what the engine would ask a user while it loads a file (a password, whether to repair
// a broken file): no one is there to answer, so every question is declined, and a request for a
// password is remembered so that the failed load can say why it failed.
#pragma once

#include <atomic>

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

namespace foliomix::impress {

class LoadInteractions final
    : public cppu::WeakImplHelper1<com::sun::star::task::XInteractionHandler> {
  public:
    // Called by the engine, over the bridge, during the load.
    void SAL_CALL
    handle(const com::sun::star::uno::Reference<com::sun::star::task::XInteractionRequest>& request)
        override;

    [[nodiscard]] bool PasswordAsked() const { return passwordAsked_; }

  private:
    std::atomic<bool> passwordAsked_ = false;
};

}  // namespace foliomix::impress
