// A PresentationServer whose presentations are lists of slide names, which records every call
// into a shared log and can be told to fail any call.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "merge/presentation_server.h"
#include "tests/unit/call_log.h"

namespace foliomix::testing {

class FakeServer : public PresentationServer {
  public:
    explicit FakeServer(CallLog& log) : log_(log) {}

    // Calls named as in the log ("app.Quit", "pres.InsertFromFile", ...) that fail; a name
    // with "#N" fails only its N-th call (1 first).
    std::set<std::string> failing;
    // What those failures say of themselves.
    FailureKind failingKind = FailureKind::Other;

    // The slides of each input file, by path; a path not listed cannot be inserted.
    std::map<std::u16string, std::vector<std::string>> files;
    // What SaveAs wrote, by path.
    std::map<std::u16string, std::vector<std::string>> saved;
    std::u16string displayName = u"MS PowerPoint";
    // Whether SaveAs also writes a file, one slide name per line; and what the server says of
    // its saves in place.
    bool writesFiles = false;
    bool savesSafelyInPlace = true;

    // References handed out and not yet released: all of them, and of each kind.
    int liveReferences = 0;
    int livePresentations = 0;
    int liveApplications = 0;
    int liveGlobals = 0;

    // Called with each call's name as it arrives, before it fails or succeeds: lets a test act
    // as the user while the engine works, closing the window for instance.
    std::function<void(const std::string&)> onCall;

    [[nodiscard]] std::u16string_view DisplayName() const override { return displayName; }
    [[nodiscard]] bool SavesSafelyInPlace() const override { return savesSafelyInPlace; }
    std::unique_ptr<ServerApplication> CreateApplication() override;
    std::unique_ptr<ServerGlobal> CreateGlobal() override;

    // Records `call`, then throws ServerError when the plan says it fails.
    void Call(const std::string& call);
    // Records what happened without a call that could fail: a reference released.
    void Note(const std::string& event);

  private:
    CallLog& log_;
    std::map<std::string, int> callCounts_;
};

}  // namespace foliomix::testing
