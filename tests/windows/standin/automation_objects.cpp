#include "automation_objects.h"

#include <oleauto.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <memory>

#include "deck_file.h"
#include "dispatch_object.h"

namespace standin {
namespace {

constexpr IID kPresentationsInterface = {
    0x91493462, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
constexpr IID kPresentationInterface = {
    0x9149349D, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
constexpr IID kSlidesInterface = {
    0x91493469, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};

// A new object with one reference, owned by the caller.
template <typename T, typename... Args>
T* NewObject(Args&&... args) {
    return std::make_unique<T>(std::forward<Args>(args)...).release();
}

Outcome Ok(std::wstring result = {}) {
    Outcome outcome;
    outcome.result = std::move(result);
    return outcome;
}

std::wstring PresentationLabel(int id) { return L"Presentation[" + std::to_wstring(id) + L"]"; }

bool ArgCountIn(Arguments args, std::size_t least, std::size_t most) {
    return args.size() >= least && args.size() <= most;
}

void ReturnBool(VARIANT* result, bool value) {
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void ReturnLong(VARIANT* result, long value) {
    V_VT(result) = VT_I4;
    V_I4(result) = value;
}

void ReturnText(VARIANT* result, const std::wstring& value) {
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocString(value.c_str());
}

void ReturnFloat(VARIANT* result, float value) {
    V_VT(result) = VT_R4;
    V_R4(result) = value;
}

std::wstring FloatText(float value) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%g", static_cast<double>(value));
    return text;
}

Outcome Closed() { return Outcome::Fail(E_FAIL, L"the presentation has been closed"); }

// SaveAs's FileFormat (PpSaveAsFileType): ppSaveAsDefault, and the formats a merge names:
// ppSaveAsPresentation, ppSaveAsOpenXMLPresentation, ppSaveAsPDF, ppSaveAsOpenDocumentPresentation.
constexpr long kSaveAsDefault = 11;
constexpr std::array<long, 5> kKnownSaveFormats{kSaveAsDefault, 1, 24, 32, 35};

bool KnownSaveFormat(long format) {
    return std::find(kKnownSaveFormats.begin(), kKnownSaveFormats.end(), format) !=
           kKnownSaveFormats.end();
}

// ---- Design ------------------------------------------------------------------------------

constexpr std::array kDesignMembers = {
    Member{L"Name", true, false},
};

// A design of a presentation, by name. Putting it on a slide of another presentation copies it
// there, as the engine does; here a design is all in its name.
class Design final : public DispatchObject {
  public:
    Design(std::shared_ptr<Engine> engine, int deck, std::wstring name)
        : DispatchObject(L"Design", kDesignMembers, IID_IDispatch, std::move(engine)),
          deck_(deck),
          name_(std::move(name)) {}

    [[nodiscard]] const std::wstring& Name() const { return name_; }

  protected:
    std::wstring Label() const override {
        return L"Design[" + std::to_wstring(deck_) + L":\"" + name_ + L"\"]";
    }

    Outcome Call(std::wstring_view, Access, Arguments, VARIANT* result) override {
        ReturnText(result, name_);
        return Ok(L"\"" + name_ + L"\"");
    }

  private:
    int deck_;
    std::wstring name_;
};

// ---- Slide -------------------------------------------------------------------------------

constexpr std::array kSlideMembers = {
    Member{L"Design", true, true},
};

class SlideObject final : public DispatchObject {
  public:
    SlideObject(std::shared_ptr<Engine> engine, int deck, int slide)
        : DispatchObject(L"Slide", kSlideMembers, IID_IDispatch, std::move(engine)),
          deck_(deck),
          slide_(slide) {}

  protected:
    std::wstring Label() const override {
        return L"Slide[" + std::to_wstring(deck_) + L"," + std::to_wstring(slide_) + L"]";
    }

    Outcome Call(std::wstring_view, Access access, Arguments args, VARIANT* result) override {
        Deck* deck = EngineRef()->Find(deck_);
        if (deck == nullptr) {
            return Closed();
        }
        Slide* slide = FindSlide(*deck, slide_);
        if (slide == nullptr) {
            return Outcome::Fail(E_FAIL, L"the slide has been deleted");
        }
        if (access == Access::Put) {
            const DispatchObject* given = DispatchObject::Of(*args[0]);
            if (given == nullptr || given->Kind() != L"Design") {
                return Outcome::Raw(DISP_E_TYPEMISMATCH);
            }
            slide->design = static_cast<const Design*>(given)->Name();
            deck->saved = false;
            return Ok();
        }
        Design* design = NewObject<Design>(EngineRef(), deck_, slide->design);
        ReturnObject(result, design);
        return Ok(design->LogName());
    }

  private:
    int deck_;
    int slide_;
};

// ---- PageSetup ---------------------------------------------------------------------------

constexpr std::array kPageSetupMembers = {
    Member{L"SlideWidth", true, true},
    Member{L"SlideHeight", true, true},
};

// The engine takes slide sides from 1 to 56 inches.
constexpr float kSmallestSide = 72.0F;
constexpr float kLargestSide = 4032.0F;

class PageSetup final : public DispatchObject {
  public:
    PageSetup(std::shared_ptr<Engine> engine, int deck)
        : DispatchObject(L"PageSetup", kPageSetupMembers, IID_IDispatch, std::move(engine)),
          deck_(deck) {}

  protected:
    std::wstring Label() const override { return L"PageSetup[" + std::to_wstring(deck_) + L"]"; }

    Outcome Call(std::wstring_view member, Access access, Arguments args,
                 VARIANT* result) override {
        Deck* deck = EngineRef()->Find(deck_);
        if (deck == nullptr) {
            return Closed();
        }
        float& side = member == L"SlideWidth" ? deck->width : deck->height;
        if (access == Access::Put) {
            float value = 0.0F;
            if (FAILED(ArgNumber(*args[0], value))) {
                return Outcome::Raw(DISP_E_TYPEMISMATCH);
            }
            if (!(value >= kSmallestSide && value <= kLargestSide)) {
                return Outcome::Fail(E_INVALIDARG, L"the slide size is out of range");
            }
            side = value;
            deck->saved = false;
            return Ok();
        }
        ReturnFloat(result, side);
        return Ok(FloatText(side));
    }

  private:
    int deck_;
};

// ---- Slides ------------------------------------------------------------------------------

constexpr std::array kSlidesMembers = {
    Member{L"Count", true, false},
    Member{L"InsertFromFile", false, false},
    Member{L"Item", false, false},
};

class Slides final : public DispatchObject {
  public:
    Slides(std::shared_ptr<Engine> engine, int deck)
        : DispatchObject(L"Slides", kSlidesMembers, kSlidesInterface, std::move(engine)),
          deck_(deck) {}

  protected:
    std::wstring Label() const override { return L"Slides[" + std::to_wstring(deck_) + L"]"; }

    Outcome Call(std::wstring_view member, Access, Arguments args, VARIANT* result) override {
        Deck* deck = EngineRef()->Find(deck_);
        if (deck == nullptr) {
            return Closed();
        }
        if (member == L"Count") {
            ReturnLong(result, static_cast<long>(deck->slides.size()));
            return Ok(std::to_wstring(deck->slides.size()));
        }
        if (member == L"Item") {
            return Item(*deck, args, result);
        }
        return InsertFromFile(*deck, args, result);
    }

  private:
    // Item(Index): the slide at that place now, 1-based, a number of an integer type.
    Outcome Item(const Deck& deck, Arguments args, VARIANT* result) const {
        if (args.size() != 1) {
            return Outcome::Raw(DISP_E_BADPARAMCOUNT);
        }
        if (ArgMissing(*args[0])) {
            return Outcome::Raw(DISP_E_PARAMNOTFOUND);
        }
        long index = 0;
        if (FAILED(ArgInteger(*args[0], index))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        if (index < 1 || static_cast<std::size_t>(index) > deck.slides.size()) {
            return Outcome::Fail(E_INVALIDARG, L"no slide with that index");
        }
        SlideObject* slide = NewObject<SlideObject>(
            EngineRef(), deck_, deck.slides[static_cast<std::size_t>(index - 1)].id);
        ReturnObject(result, slide);
        return Ok(slide->LogName());
    }

    // InsertFromFile(FileName, Index[, SlideStart[, SlideEnd]]): the file's slides after Index.
    static Outcome InsertFromFile(Deck& deck, Arguments args, VARIANT* result) {
        if (!ArgCountIn(args, 2, 4)) {
            return Outcome::Raw(DISP_E_BADPARAMCOUNT);
        }
        std::wstring path;
        long index = 0;
        if (FAILED(ArgText(*args[0], path)) || FAILED(ArgInt(*args[1], index))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        const DWORD delay = InsertDelayMs();
        if (delay > 0) {
            Sleep(delay);
        }
        const auto file = ReadDeck(path);
        if (!file) {
            return Outcome::Fail(E_FAIL, L"cannot read the presentation " + path);
        }
        // The slides come in with the design of this presentation, not their own.
        std::vector<DeckSlide> slides = file->slides;
        for (DeckSlide& slide : slides) {
            slide.design = deck.design;
        }
        if (index < 0 || static_cast<std::size_t>(index) > deck.slides.size()) {
            return Outcome::Fail(E_INVALIDARG, L"the index is out of range");
        }
        const auto available = static_cast<long>(slides.size());
        long first = 1;
        long last = available;
        if (args.size() > 2 && !ArgMissing(*args[2]) && FAILED(ArgInt(*args[2], first))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        if (args.size() > 3 && !ArgMissing(*args[3]) && FAILED(ArgInt(*args[3], last))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        if (first < 1 || last > available || first > last + 1) {
            return Outcome::Fail(E_INVALIDARG, L"the slide range is out of range");
        }
        InsertSlides(deck, static_cast<std::size_t>(index),
                     {slides.begin() + (first - 1), slides.begin() + last});
        deck.saved = false;
        ReturnLong(result, last - first + 1);
        return Ok(std::to_wstring(last - first + 1));
    }

    int deck_;
};

// ---- Presentation ------------------------------------------------------------------------

constexpr std::array kPresentationMembers = {
    Member{L"Slides", true, false},   Member{L"SaveAs", false, false},
    Member{L"Close", false, false},   Member{L"Saved", true, false},
    Member{L"FullName", true, false}, Member{L"PageSetup", true, false},
};

class Presentation final : public DispatchObject {
  public:
    Presentation(std::shared_ptr<Engine> engine, int deck)
        : DispatchObject(L"Presentation", kPresentationMembers, kPresentationInterface,
                         std::move(engine)),
          deck_(deck) {}
    ~Presentation() override {
        Deck* deck = EngineRef()->Find(deck_);
        if (deck != nullptr && deck->object == static_cast<IDispatch*>(this)) {
            deck->object = nullptr;
        }
    }
    Presentation(const Presentation&) = delete;
    Presentation& operator=(const Presentation&) = delete;

    // The object of an open presentation, with one reference for the caller: the one a client
    // still holds, else a new one.
    static IDispatch* Of(const std::shared_ptr<Engine>& engine, Deck& deck) {
        if (deck.object == nullptr) {
            deck.object = NewObject<Presentation>(engine, deck.id);
        } else {
            deck.object->AddRef();
        }
        return deck.object;
    }

  protected:
    std::wstring Label() const override { return PresentationLabel(deck_); }

    Outcome Call(std::wstring_view member, Access, Arguments args, VARIANT* result) override {
        Deck* deck = EngineRef()->Find(deck_);
        if (deck == nullptr) {
            return Closed();
        }
        if (member == L"Slides") {
            ReturnObject(result, NewObject<Slides>(EngineRef(), deck_));
            return Ok(L"Slides[" + std::to_wstring(deck_) + L"]");
        }
        if (member == L"PageSetup") {
            ReturnObject(result, NewObject<PageSetup>(EngineRef(), deck_));
            return Ok(L"PageSetup[" + std::to_wstring(deck_) + L"]");
        }
        if (member == L"Saved") {
            ReturnBool(result, deck->saved);
            return Ok(deck->saved ? L"true" : L"false");
        }
        if (member == L"FullName") {
            ReturnText(result, deck->path);
            return Ok(L"\"" + deck->path + L"\"");
        }
        if (member == L"Close") {
            if (!args.empty()) {
                return Outcome::Raw(DISP_E_BADPARAMCOUNT);
            }
            EngineRef()->CloseDeck(deck_);
            return Ok();
        }
        // SaveAs(FileName[, FileFormat[, EmbedTrueTypeFonts]])
        if (!ArgCountIn(args, 1, 3)) {
            return Outcome::Raw(DISP_E_BADPARAMCOUNT);
        }
        std::wstring path;
        if (FAILED(ArgText(*args[0], path))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        // The log shows the format as given; the file is a deck of ours whatever it says.
        long format = kSaveAsDefault;
        if (args.size() > 1 && !ArgMissing(*args[1]) && FAILED(ArgInteger(*args[1], format))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        if (!KnownSaveFormat(format)) {
            return Outcome::Fail(E_INVALIDARG, L"FileFormat " + std::to_wstring(format) +
                                                   L" is not a PpSaveAsFileType value");
        }
        if (!WriteDeck(path, ContentOf(*deck))) {
            return Outcome::Fail(E_FAIL, L"cannot write the presentation " + path);
        }
        deck->path = path;
        deck->saved = true;
        return Ok();
    }

  private:
    int deck_;
};

// ---- Presentations -----------------------------------------------------------------------

constexpr std::array kPresentationsMembers = {
    Member{L"Count", true, false},
    Member{L"Add", false, false},
    Member{L"Item", false, false},
    Member{L"Open", false, false},
};

class Presentations final : public DispatchObject {
  public:
    explicit Presentations(std::shared_ptr<Engine> engine)
        : DispatchObject(L"Presentations", kPresentationsMembers, kPresentationsInterface,
                         std::move(engine)) {}

  protected:
    Outcome Call(std::wstring_view member, Access, Arguments args, VARIANT* result) override {
        const std::shared_ptr<Engine>& engine = EngineRef();
        if (member == L"Count") {
            ReturnLong(result, static_cast<long>(engine->Decks().size()));
            return Ok(std::to_wstring(engine->Decks().size()));
        }
        if (member == L"Add") {
            // Add([WithWindow])
            if (args.size() > 1) {
                return Outcome::Raw(DISP_E_BADPARAMCOUNT);
            }
            Deck& deck = engine->AddDeck();
            ReturnObject(result, Presentation::Of(engine, deck));
            return Ok(PresentationLabel(deck.id));
        }
        if (member == L"Open") {
            return Open(args, result);
        }
        // Item(Index): a number, 1-based, in the order the presentations were opened.
        if (args.size() != 1) {
            return Outcome::Raw(DISP_E_BADPARAMCOUNT);
        }
        if (ArgMissing(*args[0])) {
            return Outcome::Raw(DISP_E_PARAMNOTFOUND);
        }
        long index = 0;
        if (FAILED(ArgInteger(*args[0], index))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        if (index < 1 || static_cast<std::size_t>(index) > engine->Decks().size()) {
            return Outcome::Fail(E_INVALIDARG, L"no presentation with that index");
        }
        Deck& deck = engine->Decks()[static_cast<std::size_t>(index - 1)];
        ReturnObject(result, Presentation::Of(engine, deck));
        return Ok(PresentationLabel(deck.id));
    }

  private:
    // Open(FileName[, ReadOnly[, Untitled[, WithWindow]]]), the flags as MsoTriState numbers.
    // A file that is open already is not opened again: its open presentation comes back, the
    // user's own included, so a client cannot tell from the call alone that it made nothing.
    Outcome Open(Arguments args, VARIANT* result) const {
        if (!ArgCountIn(args, 1, 4)) {
            return Outcome::Raw(DISP_E_BADPARAMCOUNT);
        }
        std::wstring path;
        if (FAILED(ArgText(*args[0], path))) {
            return Outcome::Raw(DISP_E_TYPEMISMATCH);
        }
        long untitled = 0;
        for (std::size_t i = 1; i < args.size(); ++i) {
            long flag = 0;
            if (!ArgMissing(*args[i]) && FAILED(ArgInt(*args[i], flag))) {
                return Outcome::Raw(DISP_E_TYPEMISMATCH);
            }
            if (i == 2) {
                untitled = flag;
            }
        }
        const std::shared_ptr<Engine>& engine = EngineRef();
        if (Deck* open = engine->FindByPath(path); open != nullptr) {
            ReturnObject(result, Presentation::Of(engine, *open));
            return Ok(PresentationLabel(open->id));
        }
        const std::optional<DeckContent> file = ReadDeck(path);
        if (!file) {
            return Outcome::Fail(E_FAIL, L"cannot open the presentation " + path);
        }
        Deck& deck = engine->AddDeck();
        deck.width = file->width;
        deck.height = file->height;
        if (!file->slides.empty()) {
            deck.design = file->slides.front().design;
        }
        InsertSlides(deck, 0, file->slides);
        deck.path = untitled != 0 ? L"" : path;
        deck.saved = true;
        ReturnObject(result, Presentation::Of(engine, deck));
        return Ok(PresentationLabel(deck.id));
    }
};

// ---- Application -------------------------------------------------------------------------

constexpr std::array kApplicationMembers = {
    Member{L"DisplayAlerts", true, true},
    Member{L"Visible", true, true},
    Member{L"Presentations", true, false},
    Member{L"Quit", false, false},
};

class Application final : public DispatchObject {
  public:
    explicit Application(std::shared_ptr<Engine> engine)
        : DispatchObject(L"Application", kApplicationMembers, kApplicationInterface,
                         std::move(engine)) {}

  protected:
    Outcome Call(std::wstring_view member, Access access, Arguments args,
                 VARIANT* result) override {
        const std::shared_ptr<Engine>& engine = EngineRef();
        if (member == L"DisplayAlerts" && engine->AlertLevels()) {
            return AlertLevel(access, args, result);
        }
        if (member == L"DisplayAlerts" || member == L"Visible") {
            const bool alerts = member == L"DisplayAlerts";
            if (access == Access::Put) {
                bool on = false;
                if (FAILED(ArgBool(*args[0], on))) {
                    return Outcome::Raw(DISP_E_TYPEMISMATCH);
                }
                alerts ? engine->SetDisplayAlerts(on) : engine->SetVisible(on);
                return Ok();
            }
            const bool on = alerts ? engine->DisplayAlerts() : engine->Visible();
            ReturnBool(result, on);
            return Ok(on ? L"true" : L"false");
        }
        if (member == L"Presentations") {
            ReturnObject(result, NewObject<Presentations>(engine));
            return Ok(L"Presentations");
        }
        // Quit(): the engine ends, with whatever it still holds.
        if (!args.empty()) {
            return Outcome::Raw(DISP_E_BADPARAMCOUNT);
        }
        Outcome outcome = Ok();
        outcome.after = engine->End();
        return outcome;
    }

  private:
    // DisplayAlerts typed as the alert level (FOLIOMIX_STANDIN_ALERT_LEVELS): 1 none, 2 all. A
    // put takes a number of an integer type only; a Boolean is a type mismatch.
    Outcome AlertLevel(Access access, Arguments args, VARIANT* result) const {
        constexpr long kAlertsNone = 1;
        constexpr long kAlertsAll = 2;
        const std::shared_ptr<Engine>& engine = EngineRef();
        if (access == Access::Put) {
            long level = 0;
            if (FAILED(ArgInteger(*args[0], level))) {
                return Outcome::Raw(DISP_E_TYPEMISMATCH);
            }
            if (level != kAlertsNone && level != kAlertsAll) {
                return Outcome::Fail(E_INVALIDARG, L"not an alert level");
            }
            engine->SetDisplayAlerts(level == kAlertsAll);
            return Ok();
        }
        const long level = engine->DisplayAlerts() ? kAlertsAll : kAlertsNone;
        ReturnLong(result, level);
        return Ok(std::to_wstring(level));
    }
};

// ---- the application-global object -------------------------------------------------------

constexpr std::array kGlobalMembers = {
    Member{L"Application", true, false},
};

class Global final : public DispatchObject {
  public:
    Global() : DispatchObject(L"Global", kGlobalMembers, kGlobalInterface, nullptr) {}

  protected:
    Outcome Call(std::wstring_view, Access, Arguments, VARIANT* result) override {
        ReturnObject(result, NewObject<Application>(RunningEngine()));
        return Ok(L"Application");
    }
};

}  // namespace

IDispatch* NewApplication() { return NewObject<Application>(RunningEngine()); }

IDispatch* NewGlobal() { return NewObject<Global>(); }

}  // namespace standin
