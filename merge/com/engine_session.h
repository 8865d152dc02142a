// What the adapter must undo in a shared engine. The engine is one instance per user session:
// if it was running already, it holds the user's own presentations and settings. So the adapter
// remembers the DisplayAlerts value it found and puts it back, closes only the presentations it
// created, and quits only an engine in which every presentation left is one of its own.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "merge/com/late_bound.h"

namespace foliomix::com {

// A presentation this adapter created, from just before the engine makes it until it is
// closed. The entry exists before the engine is asked, so that taking the presentation in
// (Adopt) cannot fail once the engine has made it.
class OwnedPresentation {
  public:
    // Only after Adopt.
    [[nodiscard]] const LateBound& Object() const { return *presentation_; }
    [[nodiscard]] bool IsOpen() const { return open_; }
    void Adopt(LateBound presentation) noexcept;
    // Presentation.Close(); after success the presentation is no longer ours to close.
    void Close();
    // The engine has ended and taken the presentation with it: nothing is left to close.
    void Forget() noexcept { open_ = false; }

  private:
    std::optional<LateBound> presentation_;
    bool open_ = false;
};

class EngineSession {
  public:
    // DisplayAlerts false; the value the engine had is read first, the first time. An engine
    // that refuses a Boolean for its type gets its alert level "none" (1) instead. A put
    // cancelled while pending counts as made: the engine may still carry it out.
    void TurnAlertsOff(const LateBound& application);
    // DisplayAlerts as it was found (true, or the level "all", when it was never turned off).
    void TurnAlertsOn(const LateBound& application);
    // Puts DisplayAlerts back if the adapter turned it off and did not turn it on again.
    void RestoreAlerts(const LateBound& application);

    // A new entry, not open yet, for the presentation about to be created.
    std::shared_ptr<OwnedPresentation> Reserve();
    // Closes every tracked presentation still open; all are tried, the first failure is thrown.
    void CloseOwned();
    // Whether every presentation the engine holds is one of ours still open (none at all
    // included). Reads Presentations.Count and, when the count alone does not settle it, each
    // Presentations.Item(i) and compares its identity with ours. Throws ServerError when the
    // engine's content cannot be read: then nobody may conclude that it is ours alone.
    [[nodiscard]] bool HoldsOnlyOwned(const LateBound& application) const;
    // The engine has ended: what we still tracked as open went with it.
    void EngineEnded() noexcept;

  private:
    std::optional<_variant_t> foundAlerts_;
    bool alertsChanged_ = false;
    std::vector<std::shared_ptr<OwnedPresentation>> owned_;
};

}  // namespace foliomix::com
