// What the adapter must undo in a shared engine. The engine is one instance per user session:
// if it was running already, it holds the user's own presentations and settings. So the adapter
// remembers the DisplayAlerts value it found and puts it back, closes only the presentations it
// created, and quits only an engine that holds no presentation any more.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "merge/com/late_bound.h"

namespace foliomix::com {

// A presentation this adapter created, until it is closed.
class OwnedPresentation {
  public:
    explicit OwnedPresentation(LateBound presentation) : presentation_(std::move(presentation)) {}
    [[nodiscard]] const LateBound& Object() const { return presentation_; }
    [[nodiscard]] bool IsOpen() const { return open_; }
    // Presentation.Close(); after success the presentation is no longer ours to close.
    void Close();

  private:
    LateBound presentation_;
    bool open_ = true;
};

class EngineSession {
  public:
    // DisplayAlerts false; the value the engine had is read first, the first time.
    void TurnAlertsOff(const LateBound& application);
    // DisplayAlerts as it was found (true when it was never turned off).
    void TurnAlertsOn(const LateBound& application);
    // Puts DisplayAlerts back if the adapter turned it off and did not turn it on again.
    void RestoreAlerts(const LateBound& application);

    std::shared_ptr<OwnedPresentation> Track(LateBound presentation);
    // Closes every tracked presentation still open; all are tried, the first failure is thrown.
    void CloseOwned();

  private:
    std::optional<_variant_t> foundAlerts_;
    bool alertsChanged_ = false;
    std::vector<std::shared_ptr<OwnedPresentation>> owned_;
};

}  // namespace foliomix::com
