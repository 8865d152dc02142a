// A test against the stand-in engine: a fresh COM apartment, a private folder (with a Chinese
// name) for the presentation files and the stand-in's call log, the stand-in reset to a new
// process state, and its control variables cleared.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "merge/com/com_presentation_server.h"
#include "merge/com/late_bound.h"
#include "merge/com/utf8_text.h"

namespace foliomix::com::testing {

class StandinTest : public ::testing::Test {
  protected:
    // Leaves the apartment only here, after the derived fixture's members (which may hold engine
    // objects) are gone: no COM reference may outlive the apartment.
    ~StandinTest() override;
    void SetUp() override;
    void TearDown() override;

    // Forgets the running engine: the next creation starts one from the control variables.
    static void RestartStandin();
    // Sets a control variable of the stand-in for the calls that follow.
    static void Control(const wchar_t* name, std::wstring_view value);

    // A presentation file of the stand-in's format in the private folder; returns its path. A
    // slide is "title" or "title\tdesign"; `size` ("720x540") goes on the header line.
    std::wstring MakeDeck(std::wstring_view name, const std::vector<std::string>& slides,
                          std::string_view size = {}) const;
    // The slide titles of a presentation file, or nothing if it is missing or not a deck.
    [[nodiscard]] static std::optional<std::vector<std::string>> ReadDeck(const std::wstring& path);
    // Every line of a presentation file as written, its header line included.
    [[nodiscard]] static std::vector<std::string> ReadDeckLines(const std::wstring& path);
    [[nodiscard]] std::wstring PathOf(std::wstring_view name) const;

    // Every line of the call log so far; Mark() and Since() give the lines after a point.
    [[nodiscard]] std::vector<std::string> Log() const;
    void Mark() { mark_ = Log().size(); }
    [[nodiscard]] std::vector<std::string> Since() const;

    // The engine's state read through a fresh application object (this adds to the log).
    [[nodiscard]] long EnginePresentationCount() const;
    [[nodiscard]] bool EngineDisplayAlerts() const;
    // A new application object of the running engine, as another automation client (or the
    // user) reaches it, not through the adapter.
    [[nodiscard]] LateBound FreshApplication() const;

    // The apartment's call limit; a fixture shortens it in its constructor.
    DWORD callLimitMs = kCallLimitMs;
    std::optional<ComApartment> apartment;
    std::filesystem::path folder;
    std::filesystem::path logFile;

  private:
    std::size_t mark_ = 0;
};

}  // namespace foliomix::com::testing
