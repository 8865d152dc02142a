#include "merge/com/com_presentation_server.h"

#include <limits>
#include <optional>

#include "merge/com/call_ticker.h"
#include "merge/com/engine_session.h"
#include "merge/com/late_bound.h"
#include "merge/com/slide_look.h"
#include "merge/com/source_deck.h"

namespace foliomix::com {
namespace {

// The engine's application-global class and interface, and its application interface; all
// three are duals, used here through IDispatch.
constexpr CLSID kGlobalClass = {
    0x91493443, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
constexpr IID kGlobalInterface = {
    0x91493451, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
constexpr IID kApplicationInterface = {
    0x91493442, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};

constexpr DWORD kEngineContexts = CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER;

// SaveAs's FileFormat: the engine's PpSaveAsFileType for each format.
long FileFormatCode(SaveFormat format) {
    switch (format) {
        case SaveFormat::Presentation97:
            return 1;  // ppSaveAsPresentation
        case SaveFormat::OpenXml:
            return 24;  // ppSaveAsOpenXMLPresentation
        case SaveFormat::OpenDocument:
            return 35;  // ppSaveAsOpenDocumentPresentation
        case SaveFormat::Pdf:
            return 32;  // ppSaveAsPDF
    }
    ThrowServerError(L"Presentation.SaveAs", E_INVALIDARG, L"(no such format)");
}

class ComPresentation final : public ServerPresentation {
  public:
    ComPresentation(std::shared_ptr<OwnedPresentation> owned, LateBound application,
                    std::shared_ptr<EngineSession> session)
        : owned_(std::move(owned)),
          application_(std::move(application)),
          session_(std::move(session)) {}

    // Released by the run: close it in the engine. A failure leaves it tracked as open, and the
    // next Quit tries again (and reports it) before deciding whether the engine may end.
    // Not open (never made, or already closed): nothing is sent.
    ~ComPresentation() override {
        try {
            owned_->Close();
        } catch (...) {  // nothing may leave a destructor; Quit reports what is left open
        }
    }
    ComPresentation(const ComPresentation&) = delete;
    ComPresentation& operator=(const ComPresentation&) = delete;

    std::int32_t SlideCount() override {
        const long count = ResultLong(Slides().Get(L"Count"), L"Presentation.Slides.Count");
        return static_cast<std::int32_t>(count);
    }

    void InsertFromFile(std::u16string_view fileName, std::int32_t index) override {
        Insert(fileName, index, std::nullopt);
    }

    // SlideStart and SlideEnd, as the engine's own InsertFromFile takes a run of slides.
    void InsertFromFile(std::u16string_view fileName, std::int32_t index,
                        SlideRun slides) override {
        Insert(fileName, index, slides);
    }

    // Opened on its own as for an insert, and closed again.
    std::int32_t SlideCountOfFile(std::u16string_view fileName) override {
        const std::unique_ptr<SourceDeck> source =
            SourceDeck::Open(application_, *session_, fileName);
        if (!source) {
            ThrowServerError(L"Presentations.Open", E_FAIL,
                             L"the file could not be opened on its own to count its slides");
        }
        return static_cast<std::int32_t>(
            ResultLong(source->Object().Child(L"Slides").Get(L"Count"), L"Source.Slides.Count"));
    }

    void SaveAs(std::u16string_view fileName) override {
        owned_->Object().Call(L"SaveAs", {TextArgument(fileName)});
    }

    // The engine writes what FileFormat says, whatever the name's extension: the name alone
    // would leave the format to the engine's default for it.
    void SaveAs(std::u16string_view fileName, SaveFormat format) override {
        owned_->Object().Call(L"SaveAs",
                              {TextArgument(fileName), _variant_t(FileFormatCode(format))});
    }

  private:
    [[nodiscard]] LateBound Slides() const { return owned_->Object().Child(L"Slides"); }

    // Slides.InsertFromFile gives the slides the result's design and size. The file is also
    // opened on its own, read-only and windowless, for as long as this call lasts: the result
    // takes its slide size while it holds no slides, and the inserted slides take their own
    // designs back. Both are best effort; without them the file is inserted as it always was.
    void Insert(std::u16string_view fileName, std::int32_t index,
                const std::optional<SlideRun>& run) {
        const std::unique_ptr<SourceDeck> source =
            SourceDeck::Open(application_, *session_, fileName);
        const LateBound slides = Slides();
        if (source && index == 0 && HoldsNoSlides(slides)) {
            CopySlideSize(source->Object(), owned_->Object());
        }
        const _variant_t name = TextArgument(fileName);
        const _variant_t after(static_cast<long>(index));
        const _variant_t inserted =
            run ? slides.Call(L"InsertFromFile",
                              {name, after, _variant_t(static_cast<long>(run->first)),
                               _variant_t(static_cast<long>(run->last))})
                : slides.Call(L"InsertFromFile", {name, after});
        if (source) {
            CopyDesigns(source->Object(), slides, index, inserted,
                        run ? SourceSlides{run->first, run->last} : SourceSlides{});
        }
    }

    // False also when the count cannot be read: then the size is left alone.
    static bool HoldsNoSlides(const LateBound& slides) {
        try {
            return ResultLong(slides.Get(L"Count"), L"Presentation.Slides.Count") == 0;
        } catch (const std::exception&) {
            return false;
        }
    }

    std::shared_ptr<OwnedPresentation> owned_;
    LateBound application_;
    std::shared_ptr<EngineSession> session_;
};

class ComApplication final : public ServerApplication {
  public:
    ComApplication(LateBound application, std::shared_ptr<EngineSession> session)
        : application_(std::move(application)), session_(std::move(session)) {}

    void SetDisplayAlerts(bool on) override {
        if (on) {
            session_->TurnAlertsOn(application_);
        } else {
            session_->TurnAlertsOff(application_);
        }
    }

    std::unique_ptr<ServerPresentation> AddPresentation() override {
        // Everything that allocates comes before Add: once the engine has made the presentation,
        // it is tracked (and so closed on every path) without another step that could fail.
        const std::shared_ptr<OwnedPresentation> owned = session_->Reserve();
        auto wrapper = std::make_unique<ComPresentation>(owned, application_, session_);
        std::wstring name = L"Presentation";
        _variant_t made = application_.Child(L"Presentations").Call(L"Add");
        owned->Adopt(ResultObject(made, IID_IDispatch, std::move(name)));
        return wrapper;
    }

    // Ends the engine only if, once our own presentations are closed, every presentation left
    // in it is one of ours whose close failed: an engine that holds anything else, the user's
    // presentations above all, keeps running, with its alerts as found. When what it holds
    // cannot be read, it keeps running too. Every failure is reported, the first one thrown.
    void Quit() override {
        std::optional<ServerError> failure;
        const auto attempt = [&failure](auto&& step) {
            try {
                step();
            } catch (const ServerError& error) {
                if (!failure) {
                    failure = error;
                }
            }
        };
        attempt([&] { session_->CloseOwned(); });
        attempt([&] { session_->RestoreAlerts(application_); });
        bool onlyOurs = false;
        attempt([&] { onlyOurs = session_->HoldsOnlyOwned(application_); });
        if (onlyOurs) {
            attempt([&] {
                application_.Call(L"Quit");
                session_->EngineEnded();
            });
        }
        if (failure) {
            throw *failure;
        }
    }

  private:
    LateBound application_;
    std::shared_ptr<EngineSession> session_;
};

class ComGlobal final : public ServerGlobal {
  public:
    ComGlobal(LateBound global, std::shared_ptr<EngineSession> session)
        : global_(std::move(global)), session_(std::move(session)) {}

    std::unique_ptr<ServerApplication> Application() override {
        return std::make_unique<ComApplication>(
            ResultObject(global_.Get(L"Application"), kApplicationInterface, L"Application"),
            session_);
    }

  private:
    LateBound global_;
    std::shared_ptr<EngineSession> session_;
};

}  // namespace

ComPresentationServer::ComPresentationServer(std::wstring progId)
    : progId_(std::move(progId)), session_(std::make_shared<EngineSession>()) {
    RaiseComSupportErrorsAsServerErrors();
}

std::u16string_view ComPresentationServer::DisplayName() const { return u"MS PowerPoint"; }

std::unique_ptr<ServerApplication> ComPresentationServer::CreateApplication() {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId_.c_str(), &clsid);
    if (FAILED(hr)) {
        ThrowServerError(L"CLSIDFromProgID(" + progId_ + L")", hr);
    }
    ComPtr<IDispatch> application;
    const CallTicker ticker;  // starting the engine may take long, or hang
    hr = CoCreateInstance(clsid, nullptr, kEngineContexts, IID_IDispatch,
                          reinterpret_cast<void**>(application.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) {
        ThrowServerError(L"CoCreateInstance(" + progId_ + L")", hr);
    }
    return std::make_unique<ComApplication>(LateBound(std::move(application), L"Application"),
                                            session_);
}

std::unique_ptr<ServerGlobal> ComPresentationServer::CreateGlobal() {
    ComPtr<IDispatch> global;
    const CallTicker ticker;
    const HRESULT hr = CoCreateInstance(kGlobalClass, nullptr, kEngineContexts, kGlobalInterface,
                                        reinterpret_cast<void**>(global.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) {
        ThrowServerError(L"CoCreateInstance(application-global class)", hr);
    }
    return std::make_unique<ComGlobal>(LateBound(std::move(global), L"Global"), session_);
}

}  // namespace foliomix::com
