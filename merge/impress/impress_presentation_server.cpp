#include "merge/impress/impress_presentation_server.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/task/ErrorCodeIOException.hpp>
#include <com/sun/star/util/XModifiable2.hpp>

#include "merge/impress/engine_calls.h"
#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"
#include "merge/impress/kill_switch.h"
#include "merge/impress/master_pages.h"
#include "merge/impress/save_filter.h"
#include "merge/impress/slide_fitting.h"
#include "merge/impress/slide_insertion.h"
#include "merge/impress/uno_strings.h"

namespace foliomix::impress {

namespace uno = css::uno;

// The engine process, once started, and the thread that talks to it; shared by the server and
// every object it handed out so that a Quit through any of them ends it for all. Only the
// engine thread touches the process.
struct ImpressPresentationServer::Engine {
    explicit Engine(const EngineLimits& limits) : calls(limits, killSwitch) {}
    ~Engine() {
        calls.RunToEnd([this] { Quit(); });
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    KillSwitch killSwitch;
    EngineCalls calls;
    std::unique_ptr<EngineProcess> process;

    const EngineProcess& Running() const {
        if (!process || !process->Running()) {
            throw ServerError("LibreOffice Impress is not running", FailureKind::EngineStopped);
        }
        return *process;
    }
    void Quit() noexcept {
        if (process) {
            process->Shutdown();
            process.reset();
        }
    }
};

namespace {

// A new presentation of the engine's with its one slide hidden: what a merge of no slide
// saves.
OpenDocument EmptyPresentation(const EngineProcess& engine) {
    OpenDocument document = CreatePresentation(engine);
    const uno::Reference<css::beans::XPropertySet> only(SlideList(document).front(),
                                                        uno::UNO_QUERY_THROW);
    only->setPropertyValue("Visible", uno::Any(false));
    return document;
}

// What an error code of the engine's file access says, where it says something plain: the
// class of an ErrCode (bits 8 to 12), as the engine's tools/errcode.hxx defines it.
FailureKind KindOfErrorCode(sal_uInt32 code) {
    constexpr sal_uInt32 kAccess = 5;
    constexpr sal_uInt32 kSpace = 9;
    switch ((code >> 8) & 0x1f) {
        case kAccess:
            return FailureKind::PermissionDenied;
        case kSpace:
            return FailureKind::DiskFull;
        default:
            return FailureKind::Other;
    }
}

// A store passes its error code on only in its message ("0xc10(Error Area:Io Class:Write
// Code:16)"): the engine turns the coded exception into a plain IOException on its way out.
FailureKind KindOfErrorText(const rtl::OUString& message) {
    if (message.indexOf("Class:Access") >= 0) {
        return FailureKind::PermissionDenied;
    }
    if (message.indexOf("Class:Space") >= 0) {
        return FailureKind::DiskFull;
    }
    return FailureKind::Other;
}

// Every UNO failure leaves the adapter as ServerError, with the engine's message.
template <typename Call>
auto Guarded(std::string_view what, Call&& call) -> decltype(call()) {
    try {
        return call();
    } catch (const ServerError&) {
        throw;
    } catch (const css::lang::DisposedException& e) {
        // The bridge to the engine is gone: the engine ended during the call.
        throw ServerError(std::string(what) + ": " + ToUtf8(e.Message), FailureKind::EngineStopped);
    } catch (const css::task::ErrorCodeIOException& e) {
        throw ServerError(std::string(what) + ": " + ToUtf8(e.Message),
                          KindOfErrorCode(static_cast<sal_uInt32>(e.ErrCode)));
    } catch (const css::io::IOException& e) {
        throw ServerError(std::string(what) + ": " + ToUtf8(e.Message), KindOfErrorText(e.Message));
    } catch (const uno::Exception& e) {
        throw ServerError(std::string(what) + ": " + ToUtf8(e.Message));
    }
}

// Drops every slide of `document` (the engine's copy of a file) but those of `slides`.
void KeepOnly(const OpenDocument& document, SlideRun slides) {
    const auto pages = Slides(document);
    const sal_Int32 count = pages->getCount();
    if (slides.first < 1 || slides.last < slides.first || slides.last > count) {
        throw ServerError("slides " + std::to_string(slides.first) + " to " +
                              std::to_string(slides.last) + " asked of a file of " +
                              std::to_string(count),
                          FailureKind::SlideOutOfRange);
    }
    for (sal_Int32 index = count - 1; index >= 0; --index) {
        if (index + 1 < slides.first || index + 1 > slides.last) {
            pages->remove(uno::Reference<css::drawing::XDrawPage>(pages->getByIndex(index),
                                                                  uno::UNO_QUERY_THROW));
        }
    }
}

bool HasVisibleSlide(const OpenDocument& document) {
    for (const auto& slide : SlideList(document)) {
        bool visible = true;
        uno::Reference<css::beans::XPropertySet>(slide, uno::UNO_QUERY_THROW)
            ->getPropertyValue("Visible") >>= visible;
        if (visible) {
            return true;
        }
    }
    return false;
}

// A file of no bytes is no presentation, although the engine would open it as a new, empty one
// when it is the first, and has crashed on it when it came later.
void RefuseEmptyFile(std::u16string_view fileName) {
    std::error_code error;
    if (std::filesystem::file_size(std::filesystem::path(fileName), error) == 0 && !error) {
        throw ServerError("the file is empty", FailureKind::NotAPresentation);
    }
}

// A new presentation. It has no document in the engine until the first deck with slides
// arrives: that deck becomes the result, and every later deck is fitted to its size and pasted
// in with masters of its own. Saved with no slide at all, the result is a new presentation of
// the engine's, whose one slide (the engine cannot hold zero) is hidden.
class ImpressPresentation final : public ServerPresentation {
  public:
    explicit ImpressPresentation(std::shared_ptr<ImpressPresentationServer::Engine> engine)
        : engine_(std::move(engine)) {}

    ~ImpressPresentation() override {
        engine_->calls.RunToEnd([this] {
            if (engine_->process && engine_->process->Running()) {
                document_.Close();
            }
        });
    }
    ImpressPresentation(const ImpressPresentation&) = delete;
    ImpressPresentation& operator=(const ImpressPresentation&) = delete;

    std::int32_t SlideCount() override {
        return engine_->calls.Run([this] { return CountSlides(); });
    }

    void InsertFromFile(std::u16string_view fileName, std::int32_t index) override {
        engine_->calls.Run([&] { Insert(fileName, index, std::nullopt); });
    }

    void InsertFromFile(std::u16string_view fileName, std::int32_t index,
                        SlideRun slides) override {
        engine_->calls.Run([&] { Insert(fileName, index, slides); });
    }

    std::int32_t SlideCountOfFile(std::u16string_view fileName) override {
        return engine_->calls.Run([&] {
            const EngineProcess& engine = engine_->Running();
            return Guarded("Presentations.Open", [&] {
                RefuseEmptyFile(fileName);
                return Slides(LoadPresentation(engine, FileUrlFromPath(fileName)))->getCount();
            });
        });
    }

    // A name of no format of its own is written in the default format, under exactly that name.
    void SaveAs(std::u16string_view fileName) override {
        SaveAs(fileName, SaveFormatNamedBy(fileName).value_or(kDefaultSaveFormat));
    }

    void SaveAs(std::u16string_view fileName, SaveFormat format) override {
        engine_->calls.Run([&] { Save(fileName, format); });
    }

  private:
    std::int32_t CountSlides() {
        engine_->Running();
        if (!document_.IsOpen()) {
            return 0;
        }
        return Guarded("Slides.Count", [&] { return Slides(document_)->getCount(); });
    }

    // The file's slides, or only those of `slides`: the others are dropped from the engine's
    // copy of the file before it is fitted and pasted (or becomes the result).
    void Insert(std::u16string_view fileName, std::int32_t index,
                const std::optional<SlideRun>& slides) {
        const EngineProcess& engine = engine_->Running();
        const rtl::OUString url = FileUrlFromPath(fileName);
        Guarded("Slides.InsertFromFile", [&] {
            const std::int32_t count = CountSlides();
            if (index < 0 || index > count) {
                throw ServerError("slide index out of range");
            }
            RefuseEmptyFile(fileName);
            if (!document_.IsOpen()) {
                BeginWith(engine, url, slides);
                return;
            }
            const OpenDocument source = LoadPresentation(engine, url, StartView::kSlideSorter);
            if (slides) {
                KeepOnly(source, *slides);
            }
            if (Slides(source)->getCount() == 0) {
                return;
            }
            FitSlides(engine, source, size_);
            std::set<std::u16string> masters = RenameClashingMasters(source, masterNames_);
            InsertAllSlides(engine, source, document_, index, sorterAtEnd_);
            masterNames_.merge(masters);
            sorterAtEnd_ = index == count;
        });
    }

    // Written where it is asked to be: the engine leaves its lock and temporary files beside
    // the file, so the merge job stages a result (SavesSafelyInPlace).
    void Save(std::u16string_view fileName, SaveFormat format) {
        engine_->Running();
        const std::string_view filter = SaveFilterFor(format);
        // The engine would create a missing folder; a save goes only into one that exists.
        std::error_code error;
        const std::filesystem::path target = std::filesystem::absolute(fileName, error);
        if (error || !std::filesystem::is_directory(target.parent_path(), error)) {
            throw ServerError(
                "SaveAs: no such folder for " + std::filesystem::path(fileName).string(),
                FailureKind::NoSuchFolder);
        }
        Guarded("SaveAs", [&] {
            if (!document_.IsOpen()) {
                document_ = EmptyPresentation(engine_->Running());
            }
            ForgetLastInsertion(engine_->Running(), document_);
            RebindMasterBackgrounds(document_);
            if (locked_) {
                uno::Reference<css::frame::XModel>(document_.Component(), uno::UNO_QUERY_THROW)
                    ->unlockControllers();
                locked_ = false;
            }
            const uno::Reference<css::frame::XStorable> storable(document_.Component(),
                                                                 uno::UNO_QUERY_THROW);
            try {
                storable->storeToURL(
                    FileUrlFromPath(target.u16string()),
                    Properties({Property("FilterName", uno::Any(Utf8ToOUString(filter))),
                                Property("Overwrite", uno::Any(true))}));
            } catch (const css::io::IOException& e) {
                // The engine's PDF export fails with a plain write error when it has no page to
                // write; asked only after a failure, as it costs a call per slide.
                if (format == SaveFormat::Pdf && !HasVisibleSlide(document_)) {
                    throw ServerError("SaveAs: " + ToUtf8(e.Message), FailureKind::NoVisibleSlide);
                }
                throw;
            }
        });
    }

    // The first deck into the empty result becomes the result: loaded as an untitled copy (its
    // file is never written), it brings its slide size, masters, notes and all with no copy at
    // all. Masters it holds but no slide uses go, as they would in a paste.
    void BeginWith(const EngineProcess& engine, const rtl::OUString& url,
                   const std::optional<SlideRun>& slides) {
        OpenDocument first = LoadPresentation(engine, url, StartView::kNormal);
        if (slides) {
            KeepOnly(first, *slides);
        }
        if (Slides(first)->getCount() == 0) {
            return;
        }
        RemoveUnusedMasters(first);
        // Each paste costs more, the more slides the result holds: the engine announces every
        // change to every slide and shape it ever reported a change of. Two kinds of change
        // need no announcement here, which takes a third off a large merge: that the document
        // is modified (it is saved either way; its slide sorter reads every slide on hearing
        // it), and single shapes' changes while no view is drawn (the controllers are locked
        // until the save).
        uno::Reference<css::util::XModifiable2>(first.Component(), uno::UNO_QUERY_THROW)
            ->disableSetModified();
        uno::Reference<css::frame::XModel>(first.Component(), uno::UNO_QUERY_THROW)
            ->lockControllers();
        locked_ = true;
        document_ = std::move(first);
        size_ = SizeOf(document_);
        masterNames_ = MasterNames(document_);
        masterNames_.insert(DefaultMasterName(engine));
        // Opened in the normal view: its slide sorter has not pasted anything yet.
        sorterAtEnd_ = false;
    }

    std::shared_ptr<ImpressPresentationServer::Engine> engine_;
    OpenDocument document_;
    SlideSize size_;
    bool sorterAtEnd_ = false;
    // The controllers are locked from the first deck to the save.
    bool locked_ = false;
    // The names of the document's masters, and of any that a paste chose not to bring: a
    // name to avoid either way, read without a round trip per master and insert.
    std::set<std::u16string> masterNames_;
};

class ImpressApplication final : public ServerApplication {
  public:
    explicit ImpressApplication(std::shared_ptr<ImpressPresentationServer::Engine> engine)
        : engine_(std::move(engine)) {}

    // A headless engine shows no alerts at all; the setting only has to reach a live engine.
    void SetDisplayAlerts(bool /*on*/) override {
        engine_->calls.Run([this] { engine_->Running(); });
    }

    std::unique_ptr<ServerPresentation> AddPresentation() override {
        return engine_->calls.Run([this]() -> std::unique_ptr<ServerPresentation> {
            engine_->Running();
            return std::make_unique<ImpressPresentation>(engine_);
        });
    }

    // Never fails: an engine that has been ended already is simply gone.
    void Quit() override {
        try {
            engine_->calls.Run([this] { engine_->Quit(); });
        } catch (const ServerError&) {
            // Ended during the Quit (the window was closed): the process is killed, and the
            // rest of the Quit has run all the same.
        }
    }

  private:
    std::shared_ptr<ImpressPresentationServer::Engine> engine_;
};

class ImpressGlobal final : public ServerGlobal {
  public:
    explicit ImpressGlobal(std::shared_ptr<ImpressPresentationServer::Engine> engine)
        : engine_(std::move(engine)) {}

    std::unique_ptr<ServerApplication> Application() override {
        return std::make_unique<ImpressApplication>(engine_);
    }

  private:
    std::shared_ptr<ImpressPresentationServer::Engine> engine_;
};

}  // namespace

ImpressPresentationServer::ImpressPresentationServer()
    : ImpressPresentationServer(ImpressOptions{}) {}

ImpressPresentationServer::ImpressPresentationServer(ImpressOptions options)
    : options_(std::move(options)), engine_(std::make_shared<Engine>(options_.limits)) {}

ImpressPresentationServer::~ImpressPresentationServer() {
    engine_->calls.SetWaiter(nullptr);
    engine_->calls.RunToEnd([this] { engine_->Quit(); });
}

void ImpressPresentationServer::SetCallWaiter(CallWaiter* waiter) {
    engine_->calls.SetWaiter(waiter);
}

std::u16string_view ImpressPresentationServer::DisplayName() const {
    return u"LibreOffice Impress";
}

std::unique_ptr<ServerApplication> ImpressPresentationServer::CreateApplication() {
    engine_->calls.Run([this] {
        if (!engine_->process || !engine_->process->Running()) {
            engine_->Quit();
            engine_->killSwitch.Reset();
            Guarded("starting LibreOffice", [&] {
                engine_->process = std::make_unique<EngineProcess>(
                    EngineOptions{.start = options_.start, .killSwitch = &engine_->killSwitch});
            });
        }
    });
    return std::make_unique<ImpressApplication>(engine_);
}

std::unique_ptr<ServerGlobal> ImpressPresentationServer::CreateGlobal() {
    return std::make_unique<ImpressGlobal>(engine_);
}

int ImpressPresentationServer::EngineProcessId() const {
    return engine_->process ? static_cast<int>(engine_->process->Pid()) : 0;
}

const EngineProcess* ImpressPresentationServer::RunningEngine() const {
    return engine_->process && engine_->process->Running() ? engine_->process.get() : nullptr;
}

std::filesystem::path ImpressPresentationServer::EngineProfileDirectory() const {
    return engine_->process ? engine_->process->ProfileDirectory() : std::filesystem::path();
}

}  // namespace foliomix::impress
