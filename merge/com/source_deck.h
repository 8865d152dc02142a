// A file about to be inserted, opened in the engine as a presentation of its own so that its
// look (slide size, designs) can be read: read-only and without a window. It is tracked by the
// session as ours from the moment the engine makes it, and closed when this object goes. A close
// that fails leaves it tracked: the engine's Quit tries again and counts it as ours, never as
// the user's.
#pragma once

#include <memory>
#include <string_view>

#include "merge/com/engine_session.h"
#include "merge/com/late_bound.h"

namespace foliomix::com {

class SourceDeck {
  public:
    // Best effort: nothing, and no failure, when the file cannot be opened so, when what the
    // engine holds cannot be read, or when the engine hands back a presentation that was open
    // already (the user may have the file open): that one is not ours to read or to close.
    [[nodiscard]] static std::unique_ptr<SourceDeck> Open(const LateBound& application,
                                                          EngineSession& session,
                                                          std::u16string_view fileName);

    explicit SourceDeck(std::shared_ptr<OwnedPresentation> owned) : owned_(std::move(owned)) {}
    ~SourceDeck();
    SourceDeck(const SourceDeck&) = delete;
    SourceDeck& operator=(const SourceDeck&) = delete;

    [[nodiscard]] const LateBound& Object() const { return owned_->Object(); }

  private:
    std::shared_ptr<OwnedPresentation> owned_;
};

}  // namespace foliomix::com
