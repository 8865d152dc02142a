#include "tests/unit/fake_server.h"

#include <filesystem>
#include <fstream>

#include "tests/unit/call_log.h"

namespace foliomix::testing {
namespace {

// Counts itself among the server's live references, and among those of its kind, for as long
// as it exists.
class Reference {
  public:
    Reference(FakeServer& server, int FakeServer::*ofItsKind)
        : server_(server), ofItsKind_(ofItsKind) {
        ++server_.liveReferences;
        ++(server_.*ofItsKind_);
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;
    ~Reference() {
        --server_.liveReferences;
        --(server_.*ofItsKind_);
    }

  protected:
    FakeServer& server_;

  private:
    int FakeServer::*ofItsKind_;
};

const char* FormatName(SaveFormat format) {
    switch (format) {
        case SaveFormat::Presentation97:
            return "Presentation97";
        case SaveFormat::OpenXml:
            return "OpenXml";
        case SaveFormat::OpenDocument:
            return "OpenDocument";
        case SaveFormat::Pdf:
            return "Pdf";
    }
    return "?";
}

class FakePresentation : public ServerPresentation, Reference {
  public:
    explicit FakePresentation(FakeServer& server)
        : Reference(server, &FakeServer::livePresentations) {}
    ~FakePresentation() override { server_.Note("pres.Release"); }
    FakePresentation(const FakePresentation&) = delete;
    FakePresentation& operator=(const FakePresentation&) = delete;

    std::int32_t SlideCount() override {
        server_.Call("pres.SlideCount");
        return static_cast<std::int32_t>(slides_.size());
    }

    void InsertFromFile(std::u16string_view fileName, std::int32_t index) override {
        server_.Call("pres.InsertFromFile(" + Utf8(fileName) + "," + std::to_string(index) + ")");
        const auto file = server_.files.find(std::u16string(fileName));
        if (file == server_.files.end() || index < 0 ||
            static_cast<std::size_t>(index) > slides_.size()) {
            throw ServerError("cannot insert");
        }
        slides_.insert(slides_.begin() + index, file->second.begin(), file->second.end());
    }

    // "pres.InsertFromFile(a.ppt,3,2-5)"; a run past the file's end fails, as the engine's does.
    void InsertFromFile(std::u16string_view fileName, std::int32_t index,
                        SlideRun slides) override {
        server_.Call("pres.InsertFromFile(" + Utf8(fileName) + "," + std::to_string(index) + "," +
                     std::to_string(slides.first) + "-" + std::to_string(slides.last) + ")");
        const auto file = server_.files.find(std::u16string(fileName));
        if (file == server_.files.end() || index < 0 ||
            static_cast<std::size_t>(index) > slides_.size() || slides.first < 1 ||
            slides.last < slides.first ||
            static_cast<std::size_t>(slides.last) > file->second.size()) {
            throw ServerError("cannot insert");
        }
        slides_.insert(slides_.begin() + index, file->second.begin() + (slides.first - 1),
                       file->second.begin() + slides.last);
    }

    std::int32_t SlideCountOfFile(std::u16string_view fileName) override {
        server_.Call("pres.SlideCountOfFile(" + Utf8(fileName) + ")");
        const auto file = server_.files.find(std::u16string(fileName));
        if (file == server_.files.end()) {
            throw ServerError("cannot open");
        }
        return static_cast<std::int32_t>(file->second.size());
    }

    void SaveAs(std::u16string_view fileName) override {
        server_.Call("pres.SaveAs(" + Utf8(fileName) + ")");
        Save(fileName);
    }

    // The log names the format after the file: "pres.SaveAs(out.pptx,OpenXml)".
    void SaveAs(std::u16string_view fileName, SaveFormat format) override {
        std::string call = "pres.SaveAs(" + Utf8(fileName);
        call += ",";
        call += FormatName(format);
        call += ")";
        server_.Call(call);
        Save(fileName);
    }

  private:
    void Save(std::u16string_view fileName) {
        server_.saved[std::u16string(fileName)] = slides_;
        if (server_.writesFiles) {
            std::ofstream file{std::filesystem::path(fileName), std::ios::binary};
            for (const std::string& slide : slides_) {
                file << slide << "\n";
            }
        }
    }

    std::vector<std::string> slides_;
};

class FakeApplication : public ServerApplication, Reference {
  public:
    FakeApplication(FakeServer& server, std::string prefix)
        : Reference(server, &FakeServer::liveApplications), prefix_(std::move(prefix)) {}

    void SetDisplayAlerts(bool on) override {
        server_.Call(prefix_ + ".DisplayAlerts=" + (on ? "true" : "false"));
    }

    std::unique_ptr<ServerPresentation> AddPresentation() override {
        server_.Call(prefix_ + ".Presentations.Add");
        return std::make_unique<FakePresentation>(server_);
    }

    void Quit() override { server_.Call(prefix_ + ".Quit"); }

  private:
    std::string prefix_;
};

class FakeGlobal : public ServerGlobal, Reference {
  public:
    explicit FakeGlobal(FakeServer& server) : Reference(server, &FakeServer::liveGlobals) {}

    std::unique_ptr<ServerApplication> Application() override {
        server_.Call("global.Application");
        return std::make_unique<FakeApplication>(server_, "globalApp");
    }
};

}  // namespace

void FakeServer::Note(const std::string& event) { log_.push_back("server." + event); }

void FakeServer::Call(const std::string& call) {
    log_.push_back("server." + call);
    const std::string name = call.substr(0, call.find('('));
    if (onCall) {
        onCall(name);
    }
    const int nth = ++callCounts_[name];
    if (failing.contains(name) || failing.contains(name + "#" + std::to_string(nth))) {
        throw ServerError(name + " failed", failingKind);
    }
}

std::unique_ptr<ServerApplication> FakeServer::CreateApplication() {
    Call("CreateApplication");
    return std::make_unique<FakeApplication>(*this, "app");
}

std::unique_ptr<ServerGlobal> FakeServer::CreateGlobal() {
    Call("CreateGlobal");
    return std::make_unique<FakeGlobal>(*this);
}

}  // namespace foliomix::testing
