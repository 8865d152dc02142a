#include "engine.h"

#include <cwchar>
#include <mutex>

#include "deck_file.h"

#include "merge/com/utf8_text.h"

namespace standin {
namespace {

constexpr const wchar_t* kUserPresentationTitle = L"用户的幻灯片";

struct CallRule {
    std::wstring key;
    int nth = 0;  // 0: every call
    int seen = 0;
};

// The rules of one control variable, parsed again whenever the variable changes.
struct RuleSet {
    std::wstring list;
    std::vector<CallRule> rules;
};

struct ProcessState {
    std::mutex mutex;
    std::shared_ptr<Engine> engine;
    RuleSet failures;  // FOLIOMIX_STANDIN_FAIL
    RuleSet blocks;    // FOLIOMIX_STANDIN_BLOCK
};

ProcessState& State() {
    static ProcessState state;
    return state;
}

std::vector<CallRule> ParseRules(const std::wstring& list) {
    std::vector<CallRule> rules;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(L',', start);
        if (end == std::wstring::npos) {
            end = list.size();
        }
        std::wstring item = list.substr(start, end - start);
        std::erase(item, L' ');
        if (!item.empty()) {
            CallRule rule;
            const std::size_t hash = item.find(L'#');
            rule.key = item.substr(0, hash);
            if (hash != std::wstring::npos) {
                rule.nth = static_cast<int>(std::wcstol(item.c_str() + hash + 1, nullptr, 10));
            }
            rules.push_back(rule);
        }
        start = end + 1;
    }
    return rules;
}

bool IsTrue(const std::wstring& value) {
    return value == L"1" || _wcsicmp(value.c_str(), L"true") == 0;
}

bool IsFalse(const std::wstring& value) {
    return value.empty() || value == L"0" || _wcsicmp(value.c_str(), L"false") == 0;
}

bool EnvironmentFlag(const wchar_t* name, bool fallback) {
    const std::optional<std::wstring> value = Environment(name);
    if (!value || value->empty()) {
        return fallback;
    }
    return IsTrue(*value);
}

// FOLIOMIX_STANDIN_USER_PRESENTATION: "1"/"true" a new presentation, another value the path of
// the file the user opened it from.
void ReadUserPresentation(EngineStart& start) {
    const std::wstring value = Environment(L"FOLIOMIX_STANDIN_USER_PRESENTATION").value_or(L"");
    if (IsFalse(value)) {
        return;
    }
    start.userPresentation = true;
    if (!IsTrue(value)) {
        start.userFile = value;
    }
}

}  // namespace

std::optional<std::wstring> Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length);
    return value;
}

Slide* FindSlide(Deck& deck, int slideId) {
    for (Slide& slide : deck.slides) {
        if (slide.id == slideId) {
            return &slide;
        }
    }
    return nullptr;
}

std::size_t InsertSlides(Deck& deck, std::size_t index, const std::vector<DeckSlide>& slides) {
    std::vector<Slide> made;
    for (const DeckSlide& slide : slides) {
        made.push_back(Slide{deck.nextSlideId++, slide.title, slide.design});
    }
    deck.slides.insert(deck.slides.begin() + static_cast<std::ptrdiff_t>(index), made.begin(),
                       made.end());
    return made.size();
}

DeckContent ContentOf(const Deck& deck) {
    DeckContent content;
    content.width = deck.width;
    content.height = deck.height;
    for (const Slide& slide : deck.slides) {
        content.slides.push_back(DeckSlide{slide.title, slide.design});
    }
    return content;
}

Engine::Engine(const EngineStart& start)
    : alertLevels_(start.alertLevels), displayAlerts_(start.displayAlerts) {
    if (start.userPresentation) {
        Deck& deck = AddDeck();
        deck.user = true;
        const std::optional<DeckContent> content =
            start.userFile.empty() ? std::nullopt : ReadDeck(start.userFile);
        if (content) {
            deck.path = start.userFile;
            deck.width = content->width;
            deck.height = content->height;
            InsertSlides(deck, 0, content->slides);
        } else {
            InsertSlides(deck, 0, {DeckSlide{kUserPresentationTitle}});
        }
    }
}

Deck* Engine::Find(int id) {
    for (Deck& deck : decks_) {
        if (deck.id == id) {
            return &deck;
        }
    }
    return nullptr;
}

Deck& Engine::AddDeck() {
    Deck deck;
    deck.id = nextId_++;
    decks_.push_back(deck);
    return decks_.back();
}

Deck* Engine::FindByPath(const std::wstring& path) {
    for (Deck& deck : decks_) {
        if (!deck.path.empty() && _wcsicmp(deck.path.c_str(), path.c_str()) == 0) {
            return &deck;
        }
    }
    return nullptr;
}

void Engine::CloseDeck(int id) {
    std::erase_if(decks_, [id](const Deck& deck) { return deck.id == id; });
}

std::vector<std::wstring> Engine::End() {
    std::vector<std::wstring> lines;
    for (const Deck& deck : decks_) {
        lines.push_back(L"Engine.Discarded(Presentation[" + std::to_wstring(deck.id) + L"]," +
                        (deck.user ? L"user," : L"automation,") +
                        (deck.saved ? L"saved)" : L"unsaved)"));
    }
    decks_.clear();
    alive_ = false;
    lines.emplace_back(L"Engine.End()");
    return lines;
}

std::shared_ptr<Engine> RunningEngine() {
    ProcessState& state = State();
    std::shared_ptr<Engine> engine;
    {
        const std::lock_guard lock(state.mutex);
        if (state.engine && state.engine->Alive()) {
            return state.engine;
        }
        EngineStart start;
        ReadUserPresentation(start);
        start.displayAlerts = EnvironmentFlag(L"FOLIOMIX_STANDIN_DISPLAY_ALERTS", true);
        start.alertLevels = EnvironmentFlag(L"FOLIOMIX_STANDIN_ALERT_LEVELS", false);
        state.engine = std::make_shared<Engine>(start);
        engine = state.engine;
    }
    LogLine(L"Engine.Start(presentations=" + std::to_wstring(engine->Decks().size()) + L",alerts=" +
            (engine->DisplayAlerts() ? L"true)" : L"false)"));
    return engine;
}

void ResetStandin() {
    ProcessState& state = State();
    const std::lock_guard lock(state.mutex);
    state.engine.reset();
    state.failures = {};
    state.blocks = {};
}

void LogLine(std::wstring_view line) {
    const std::optional<std::wstring> path = Environment(L"FOLIOMIX_STANDIN_LOG");
    if (!path || path->empty()) {
        return;
    }
    HANDLE file = CreateFileW(path->c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string bytes = foliomix::com::Utf8(line) + '\n';
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

namespace {

// Whether the rules of `variable` name this call; counts it against every rule that names it.
bool MatchesRule(RuleSet& set, const wchar_t* variable, std::wstring_view member,
                 std::wstring_view accessor) {
    const std::wstring list = Environment(variable).value_or(L"");
    if (list != set.list) {
        set.list = list;
        set.rules = ParseRules(list);
    }
    std::wstring withAccessor(member);
    if (!accessor.empty()) {
        withAccessor += L'.';
        withAccessor += accessor;
    }
    bool matched = false;
    for (CallRule& rule : set.rules) {
        if (_wcsicmp(rule.key.c_str(), std::wstring(member).c_str()) != 0 &&
            _wcsicmp(rule.key.c_str(), withAccessor.c_str()) != 0) {
            continue;
        }
        ++rule.seen;
        if (rule.nth == 0 || rule.nth == rule.seen) {
            matched = true;
        }
    }
    return matched;
}

}  // namespace

bool InjectedFailure(std::wstring_view member, std::wstring_view accessor) {
    ProcessState& state = State();
    const std::lock_guard lock(state.mutex);
    return MatchesRule(state.failures, L"FOLIOMIX_STANDIN_FAIL", member, accessor);
}

bool BlockedCall(std::wstring_view member, std::wstring_view accessor) {
    ProcessState& state = State();
    const std::lock_guard lock(state.mutex);
    return MatchesRule(state.blocks, L"FOLIOMIX_STANDIN_BLOCK", member, accessor);
}

DWORD BlockMs() {
    const std::optional<std::wstring> value = Environment(L"FOLIOMIX_STANDIN_BLOCK_MS");
    return value && !value->empty() ? static_cast<DWORD>(std::wcstoul(value->c_str(), nullptr, 10))
                                    : kDefaultBlockMs;
}

bool OutOfApartment() { return EnvironmentFlag(L"FOLIOMIX_STANDIN_OUT_OF_APARTMENT", false); }

DWORD InsertDelayMs() {
    const std::optional<std::wstring> value = Environment(L"FOLIOMIX_STANDIN_INSERT_DELAY_MS");
    return value ? static_cast<DWORD>(std::wcstoul(value->c_str(), nullptr, 10)) : 0;
}

}  // namespace standin
