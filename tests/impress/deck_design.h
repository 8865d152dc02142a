// Decks made as PowerPoint makes them for the fidelity tests, and how a saved deck looks: the
// engine's PowerPoint import names every deck's master "Default", so decks that differ in
// their design all carry a master of that one name.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"

namespace foliomix::testing {

struct DeckDesign {
    impress::SlideSize size;
    sal_Int32 background = 0;  // the master's background colour, 0xRRGGBB
    std::string logo;          // the text of a shape on the master
    std::string titleFont;     // the master's title font
    // A picture on every slide but the first; none when empty.
    std::filesystem::path picture;
    // A second master that no slide uses.
    bool unusedMaster = false;
    // The master's background a gradient from `background` to white, not that colour alone.
    bool gradient = false;
    // The master's name; empty: the engine's own.
    std::string masterName = {};
};

// A picture of `width` × `height` pixels of noise that no format compresses much, as photos
// are: a deck that holds it costs what real decks with pictures cost.
void WriteNoisePicture(const std::filesystem::path& path, int width, int height, unsigned seed);

// A deck (format by the extension) with one slide per title, the title in the slide's title
// placeholder, notes
// "<title> notes", a transition on every slide and the second slide hidden.
void MakeDesignedDeck(const impress::EngineProcess& engine, const std::filesystem::path& path,
                      const std::vector<std::string>& titles, const DeckDesign& design);

struct Box {
    sal_Int32 x = 0;
    sal_Int32 y = 0;
    sal_Int32 width = 0;
    sal_Int32 height = 0;
};

struct SlideLook {
    std::string title;
    bool visible = true;
    std::string notes;
    sal_Int16 transitionType = 0;
    sal_Int16 transitionSubtype = 0;
    std::string master;                    // the name of the slide's master
    sal_Int32 background = -1;             // of the slide's master
    std::vector<std::string> masterTexts;  // of the master's own shapes, not its placeholders
    std::vector<Box> masterBoxes;          // every shape of the master, placeholders included
    std::string titleFont;
    float titleHeight = 0;  // points
    Box titleBox;
    std::vector<Box> pictures;
};

struct DeckLook {
    impress::SlideSize size;
    std::vector<SlideLook> slides;
    int masters = 0;
};

[[nodiscard]] DeckLook ReadLook(const impress::EngineProcess& engine,
                                const std::filesystem::path& path);

// `source` saved alone by the engine as `copy` (format by its extension): what the engine
// itself keeps of a deck in that format, which a merged slide is compared with.
void SaveAlone(const impress::EngineProcess& engine, const std::filesystem::path& source,
               const std::filesystem::path& copy);

}  // namespace foliomix::testing
