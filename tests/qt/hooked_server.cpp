#include "tests/qt/hooked_server.h"

namespace foliomix::testing {
namespace {

class HookedPresentation : public ServerPresentation {
  public:
    HookedPresentation(const HookedServer& hooks, std::unique_ptr<ServerPresentation> inner)
        : hooks_(hooks), inner_(std::move(inner)) {}

    std::int32_t SlideCount() override {
        hooks_.Before("pres.SlideCount");
        return inner_->SlideCount();
    }
    void InsertFromFile(std::u16string_view fileName, std::int32_t index) override {
        hooks_.Before("pres.InsertFromFile");
        inner_->InsertFromFile(fileName, index);
    }
    void InsertFromFile(std::u16string_view fileName, std::int32_t index,
                        SlideRun slides) override {
        hooks_.Before("pres.InsertFromFile");
        inner_->InsertFromFile(fileName, index, slides);
    }
    std::int32_t SlideCountOfFile(std::u16string_view fileName) override {
        hooks_.Before("pres.SlideCountOfFile");
        return inner_->SlideCountOfFile(fileName);
    }
    void SaveAs(std::u16string_view fileName) override {
        hooks_.Before("pres.SaveAs");
        inner_->SaveAs(fileName);
    }
    void SaveAs(std::u16string_view fileName, SaveFormat format) override {
        hooks_.Before("pres.SaveAs");
        inner_->SaveAs(fileName, format);
    }

  private:
    const HookedServer& hooks_;
    std::unique_ptr<ServerPresentation> inner_;
};

class HookedApplication : public ServerApplication {
  public:
    HookedApplication(const HookedServer& hooks, std::unique_ptr<ServerApplication> inner)
        : hooks_(hooks), inner_(std::move(inner)) {}

    void SetDisplayAlerts(bool on) override {
        hooks_.Before("app.SetDisplayAlerts");
        inner_->SetDisplayAlerts(on);
    }
    std::unique_ptr<ServerPresentation> AddPresentation() override {
        hooks_.Before("app.AddPresentation");
        return std::make_unique<HookedPresentation>(hooks_, inner_->AddPresentation());
    }
    void Quit() override {
        hooks_.Before("app.Quit");
        inner_->Quit();
    }

  private:
    const HookedServer& hooks_;
    std::unique_ptr<ServerApplication> inner_;
};

class HookedGlobal : public ServerGlobal {
  public:
    HookedGlobal(const HookedServer& hooks, std::unique_ptr<ServerGlobal> inner)
        : hooks_(hooks), inner_(std::move(inner)) {}

    std::unique_ptr<ServerApplication> Application() override {
        hooks_.Before("global.Application");
        return std::make_unique<HookedApplication>(hooks_, inner_->Application());
    }

  private:
    const HookedServer& hooks_;
    std::unique_ptr<ServerGlobal> inner_;
};

}  // namespace

std::unique_ptr<ServerApplication> HookedServer::CreateApplication() {
    Before("CreateApplication");
    return std::make_unique<HookedApplication>(*this, inner_.CreateApplication());
}

std::unique_ptr<ServerGlobal> HookedServer::CreateGlobal() {
    Before("CreateGlobal");
    return std::make_unique<HookedGlobal>(*this, inner_.CreateGlobal());
}

}  // namespace foliomix::testing
