// Where a closed document waits for the next close before the engine closes it.
//
// Our bridge hands every release of a reference (a shape, a slide) to the engine as a message
// that the engine runs on a thread of its own, in no order with our other calls: a document
// closed at once can be gone before the releases of its shapes arrive. LibreOffice 25.x keeps
// such a shape's drawing object alive until that release, and then destroys it against the
// document's freed item pool: the engine crashes (seen on about half of all runs with two
// engines busy). Held back until the next close, a document goes only after a whole further
// load, paste or save, by when its releases have long arrived.
#pragma once

#include <mutex>

#include <com/sun/star/lang/XComponent.hpp>

namespace foliomix::impress {

// Closes a document without saving; a failure (the engine already gone, a veto) is ignored.
void CloseNow(
    const com::sun::star::uno::Reference<com::sun::star::lang::XComponent>& document) noexcept;

// One engine's document held back; thread-safe.
class DocumentParking {
  public:
    // Holds `document` back and closes the one held before.
    void Close(
        const com::sun::star::uno::Reference<com::sun::star::lang::XComponent>& document) noexcept;
    // Closes the one held back, if any: before the engine ends.
    void CloseParked() noexcept;

  private:
    std::mutex mutex_;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> parked_;
};

}  // namespace foliomix::impress
