#include "tests/unit/counting_server.h"

#include <utility>

namespace foliomix::testing {
namespace {

// Counts itself in `live` for as long as it exists.
class Counted {
  public:
    explicit Counted(int& live) : live_(live) { ++live_; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    ~Counted() { --live_; }

  private:
    int& live_;
};

class CountedApplication : public ServerApplication, Counted {
  public:
    CountedApplication(std::unique_ptr<ServerApplication> inner, int& live)
        : Counted(live), inner_(std::move(inner)) {}
    void SetDisplayAlerts(bool on) override { inner_->SetDisplayAlerts(on); }
    std::unique_ptr<ServerPresentation> AddPresentation() override {
        return inner_->AddPresentation();
    }
    void Quit() override { inner_->Quit(); }

  private:
    std::unique_ptr<ServerApplication> inner_;
};

class CountedGlobal : public ServerGlobal, Counted {
  public:
    CountedGlobal(std::unique_ptr<ServerGlobal> inner, int& live)
        : Counted(live), inner_(std::move(inner)) {}
    std::unique_ptr<ServerApplication> Application() override { return inner_->Application(); }

  private:
    std::unique_ptr<ServerGlobal> inner_;
};

}  // namespace

std::unique_ptr<ServerApplication> CountingServer::CreateApplication() {
    return std::make_unique<CountedApplication>(inner_.CreateApplication(), liveApplications);
}

std::unique_ptr<ServerGlobal> CountingServer::CreateGlobal() {
    return std::make_unique<CountedGlobal>(inner_.CreateGlobal(), liveGlobals);
}

}  // namespace foliomix::testing
