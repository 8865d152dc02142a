// The stand-in engine's state: one engine per process, shared by every object handed out, like
// the single running instance of the real engine. Quit ends it; the next creation starts a new
// one. Everything it receives is recorded in the call log (see README.md).
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deck_file.h"

namespace standin {

struct Slide {
    int id = 0;  // unique in its presentation, kept while slides are inserted around it
    std::wstring title;
    std::wstring design;
};

struct Deck {
    int id = 0;
    std::vector<Slide> slides;
    float width = kDefaultSlideWidth;
    float height = kDefaultSlideHeight;
    // The presentation's own (first) design: the one InsertFromFile gives the slides it brings.
    std::wstring design{kDefaultDesign};
    std::wstring path;  // empty until saved, unless it was opened from a file
    bool saved = false;
    bool user = false;  // the user's own presentation, open before any automation client came
    int nextSlideId = 1;
    // The presentation's automation object while a client holds it (not a reference of the
    // engine's own): every way to the presentation hands out this same object, so that its COM
    // identity tells two presentations apart, as the real engine's does.
    IDispatch* object = nullptr;
};

// The slide with this id, or nullptr.
[[nodiscard]] Slide* FindSlide(Deck& deck, int slideId);
// Inserts slides after the first `index` ones, each with a new id; returns how many.
std::size_t InsertSlides(Deck& deck, std::size_t index, const std::vector<DeckSlide>& slides);
// The deck's content as a file holds it.
[[nodiscard]] DeckContent ContentOf(const Deck& deck);

// What the engine holds and how it is set when it starts (the control variables).
struct EngineStart {
    bool userPresentation = false;
    std::wstring userFile;  // the user's presentation was opened from this file ("": new)
    bool displayAlerts = true;
    bool alertLevels = false;  // DisplayAlerts typed as the alert level, not as a Boolean
};

class Engine {
  public:
    explicit Engine(const EngineStart& start);

    [[nodiscard]] bool Alive() const { return alive_; }
    [[nodiscard]] bool AlertLevels() const { return alertLevels_; }
    [[nodiscard]] bool DisplayAlerts() const { return displayAlerts_; }
    void SetDisplayAlerts(bool on) { displayAlerts_ = on; }
    [[nodiscard]] bool Visible() const { return visible_; }
    void SetVisible(bool on) { visible_ = on; }

    [[nodiscard]] const std::vector<Deck>& Decks() const { return decks_; }
    [[nodiscard]] std::vector<Deck>& Decks() { return decks_; }
    // The open presentation with this id, or nullptr once it has been closed.
    [[nodiscard]] Deck* Find(int id);
    Deck& AddDeck();
    // The open presentation whose file is `path` (case-insensitive), or nullptr.
    [[nodiscard]] Deck* FindByPath(const std::wstring& path);
    void CloseDeck(int id);
    // Ends the engine: every open presentation is discarded. Returns the log lines that say so.
    std::vector<std::wstring> End();

  private:
    bool alive_ = true;
    bool alertLevels_;
    bool displayAlerts_;
    bool visible_ = false;
    int nextId_ = 1;
    std::vector<Deck> decks_;
};

// The running engine; starts one (and logs it) when none runs.
[[nodiscard]] std::shared_ptr<Engine> RunningEngine();
// Forgets the engine and every failure counter: the next use starts afresh from the environment.
void ResetStandin();

// Appends one line to the call log named by FOLIOMIX_STANDIN_LOG, if set.
void LogLine(std::wstring_view line);

// Whether the call with this key (e.g. "Slides.InsertFromFile", "Application.DisplayAlerts.put")
// is to fail, by FOLIOMIX_STANDIN_FAIL. Counts the call against every rule that names it.
[[nodiscard]] bool InjectedFailure(std::wstring_view member, std::wstring_view accessor);

// Whether the call with this key is to block first, by FOLIOMIX_STANDIN_BLOCK (the rules of
// FOLIOMIX_STANDIN_FAIL, counted on their own).
[[nodiscard]] bool BlockedCall(std::wstring_view member, std::wstring_view accessor);
// How long a blocked call blocks: FOLIOMIX_STANDIN_BLOCK_MS, or kDefaultBlockMs when unset.
inline constexpr DWORD kDefaultBlockMs = 10 * 60 * 1000;
[[nodiscard]] DWORD BlockMs();

// FOLIOMIX_STANDIN_OUT_OF_APARTMENT: the objects are made in the process's multithreaded
// apartment, not in the creating thread's.
[[nodiscard]] bool OutOfApartment();

// FOLIOMIX_STANDIN_INSERT_DELAY_MS, 0 when unset.
[[nodiscard]] DWORD InsertDelayMs();

[[nodiscard]] std::optional<std::wstring> Environment(const wchar_t* name);

}  // namespace standin
