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

namespace standin {

struct Deck {
    int id = 0;
    std::vector<std::wstring> slides;
    std::wstring path;  // empty until saved
    bool saved = false;
    bool user = false;  // the user's own presentation, open before any automation client came
    // The presentation's automation object while a client holds it (not a reference of the
    // engine's own): every way to the presentation hands out this same object, so that its COM
    // identity tells two presentations apart, as the real engine's does.
    IDispatch* object = nullptr;
};

class Engine {
  public:
    Engine(bool userPresentation, bool displayAlerts);

    [[nodiscard]] bool Alive() const { return alive_; }
    [[nodiscard]] bool DisplayAlerts() const { return displayAlerts_; }
    void SetDisplayAlerts(bool on) { displayAlerts_ = on; }
    [[nodiscard]] bool Visible() const { return visible_; }
    void SetVisible(bool on) { visible_ = on; }

    [[nodiscard]] const std::vector<Deck>& Decks() const { return decks_; }
    [[nodiscard]] std::vector<Deck>& Decks() { return decks_; }
    // The open presentation with this id, or nullptr once it has been closed.
    [[nodiscard]] Deck* Find(int id);
    Deck& AddDeck();
    void CloseDeck(int id);
    // Ends the engine: every open presentation is discarded. Returns the log lines that say so.
    std::vector<std::wstring> End();

  private:
    bool alive_ = true;
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

// FOLIOMIX_STANDIN_INSERT_DELAY_MS, 0 when unset.
[[nodiscard]] DWORD InsertDelayMs();

[[nodiscard]] std::optional<std::wstring> Environment(const wchar_t* name);

}  // namespace standin
