// Makes the tests' input decks and reads saved results back, with an engine of its own (not
// the adapter's), so that a result is checked as the file on disk says, not as the adapter
// believes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"

namespace foliomix::testing {

struct SavedDeck {
    std::vector<std::string> visibleSlides;  // each visible slide's text, in order
    int hiddenSlides = 0;
    impress::SlideSize size;
};

class DeckMaker {
  public:
    DeckMaker();

    // A .ppt deck with one text shape per slide holding its title, on blank layouts.
    void Make(const std::filesystem::path& path, const std::vector<std::string>& titles,
              impress::SlideSize size = {28000, 15750});
    [[nodiscard]] SavedDeck Read(const std::filesystem::path& path);

    [[nodiscard]] impress::EngineProcess& Engine() { return engine_; }

  private:
    impress::EngineProcess engine_;
};

// Every process whose command line, arguments joined by spaces, mentions `text`.
[[nodiscard]] std::vector<int> ProcessesMentioning(const std::string& text);
// Whether a process with that id exists (a zombie counts as gone).
[[nodiscard]] bool ProcessAlive(int pid);
// The id of a process that has certainly ended: one of ours, started, ended and reaped.
[[nodiscard]] int EndedProcessId();

}  // namespace foliomix::testing
