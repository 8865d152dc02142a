// Benchmark and soak run of the Impress adapter; prints figures, asserts no timing.
//
//   foliomix_impress_bench [--rounds R]   merge 10 decks x 10 slides R times (default 3) and
//                                         print the merge time, the engine's lower bound in
//                                         the same process (each input loaded once, an
//                                         unsaved 100-slide document saved once), their
//                                         ratio, the start time and the engine's peak memory;
//                                         for plain text decks and for decks like real ones
//                                         (4:3, a picture on most slides, a design of their
//                                         own, two of them 16:9)
//   foliomix_impress_bench --soak N       N consecutive merges, each result read back by a
//                                         separate engine and checked slide by slide
//   --engine PATH (first)                 drive that engine (its soffice or program folder),
//                                         as FOLIOMIX_ENGINE names it to the adapter
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <com/sun/star/frame/XStorable.hpp>

#include "merge/impress/engine_location.h"
#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"
#include "merge/impress/impress_presentation_server.h"
#include "merge/impress/temporary_directory.h"
#include "merge/impress/uno_strings.h"
#include "tests/impress/deck_design.h"
#include "tests/impress/deck_maker.h"

namespace {

namespace fs = std::filesystem;
using foliomix::ServerError;
using foliomix::impress::ImpressPresentationServer;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 10;
constexpr int kSlidesPerFile = 10;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The peak resident size (VmHWM) of process `pid` so far, in MiB; 0 when it cannot be read.
double PeakMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::stod(line.substr(6)) / 1024;
        }
    }
    return 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Title(int file, int slide) {
    return "文件" + std::to_string(file) + "-幻灯片" + std::to_string(slide);
}

struct Inputs {
    foliomix::impress::TemporaryDirectory folder{"foliomix-bench-"};
    std::vector<fs::path> decks;
};

void MakeInputs(foliomix::testing::DeckMaker& maker, Inputs& inputs) {
    for (int f = 1; f <= kFiles; ++f) {
        std::vector<std::string> titles;
        for (int s = 1; s <= kSlidesPerFile; ++s) {
            titles.push_back(Title(f, s));
        }
        const fs::path deck = inputs.folder.Path() / ("演示" + std::to_string(f) + ".ppt");
        // The last deck is 4:3 where the others and the result are 16:9: it is fitted on
        // every insert.
        maker.Make(deck, titles,
                   f == kFiles ? foliomix::impress::SlideSize{25400, 19050}
                               : foliomix::impress::SlideSize{28000, 15750});
        inputs.decks.push_back(deck);
    }
}

// Decks as people's decks are: 4:3, each with a design of its own (background, a line of
// text on the master, a title font) under the one master name the import gives them all, a
// picture on every slide but the first, notes and transitions; the fourth and the eighth 16:9.
void MakeRealisticInputs(foliomix::testing::DeckMaker& maker, Inputs& inputs) {
    for (int f = 1; f <= kFiles; ++f) {
        std::vector<std::string> titles;
        for (int s = 1; s <= kSlidesPerFile; ++s) {
            titles.push_back(Title(f, s));
        }
        const fs::path picture = inputs.folder.Path() / ("图片" + std::to_string(f) + ".bmp");
        foliomix::testing::WriteNoisePicture(picture, 400, 300, static_cast<unsigned>(f));
        foliomix::testing::DeckDesign design;
        design.size = f % 4 == 0 ? foliomix::impress::SlideSize{28000, 15750}
                                 : foliomix::impress::SlideSize{25400, 19050};
        design.background = 0x102030 * f;
        design.logo = "标志 " + std::to_string(f);
        design.titleFont = f % 2 == 0 ? "DejaVu Serif" : "DejaVu Sans";
        design.picture = picture;
        const fs::path deck = inputs.folder.Path() / ("真实" + std::to_string(f) + ".ppt");
        foliomix::testing::MakeDesignedDeck(maker.Engine(), deck, titles, design);
        inputs.decks.push_back(deck);
    }
}

// The merge exactly as the merge run drives it, each file after the last slide.
std::unique_ptr<foliomix::ServerPresentation> Merge(foliomix::ServerApplication& application,
                                                    const std::vector<fs::path>& decks,
                                                    const fs::path& result) {
    auto presentation = application.AddPresentation();
    for (const fs::path& deck : decks) {
        presentation->InsertFromFile(deck.u16string(), presentation->SlideCount());
    }
    presentation->SaveAs(result.u16string());
    return presentation;
}

struct Figures {
    double merge = 0;
    double bound = 0;
    double ratio = 0;
};

// `rounds` merges of `inputs`, each beside the engine's lower bound for the same work.
Figures Measure(foliomix::ServerApplication& application,
                const foliomix::impress::EngineProcess& engine, const Inputs& inputs,
                const char* name, int rounds) {
    // One merge first, so that neither figure pays the engine's first-use costs.
    Merge(application, {inputs.decks[0], inputs.decks[1]}, inputs.folder.Path() / "warm.ppt");

    std::vector<double> merges, bounds, ratios;
    for (int round = 1; round <= rounds; ++round) {
        auto started = Clock::now();
        Merge(application, inputs.decks, inputs.folder.Path() / "merged.ppt");
        const double mergeTime = Seconds(started);

        // The bound saves a document of the same 100 slides that has not been saved yet, as
        // the merge's result had not: the merged result itself, read back from its file.
        const fs::path mergedFile = inputs.folder.Path() / "merged.ppt";
        const auto readBack = foliomix::impress::LoadPresentation(
            engine, foliomix::impress::FileUrlFromPath(mergedFile.u16string()));
        started = Clock::now();
        for (const fs::path& deck : inputs.decks) {
            const auto loaded = foliomix::impress::LoadPresentation(
                engine, foliomix::impress::FileUrlFromPath(deck.u16string()));
        }
        const auto storable = com::sun::star::uno::Reference<com::sun::star::frame::XStorable>(
            readBack.Component(), com::sun::star::uno::UNO_QUERY_THROW);
        storable->storeToURL(
            foliomix::impress::FileUrlFromPath((inputs.folder.Path() / "bound.ppt").u16string()),
            foliomix::impress::Properties({foliomix::impress::Property(
                "FilterName", com::sun::star::uno::Any(rtl::OUString("MS PowerPoint 97")))}));
        const double boundTime = Seconds(started);

        merges.push_back(mergeTime);
        bounds.push_back(boundTime);
        ratios.push_back(mergeTime / boundTime);
        std::printf("%s round %d: merge %.3f s, lower bound %.3f s, ratio %.2f\n", name, round,
                    mergeTime, boundTime, mergeTime / boundTime);
        std::fflush(stdout);
    }
    return {Median(merges), Median(bounds), Median(ratios)};
}

int Bench(int rounds) {
    foliomix::testing::DeckMaker maker;
    Inputs plain;
    MakeInputs(maker, plain);
    Inputs realistic;
    MakeRealisticInputs(maker, realistic);

    ImpressPresentationServer server;
    const auto started = Clock::now();
    auto application = server.CreateApplication();
    const double startTime = Seconds(started);
    const auto& engine = *server.RunningEngine();

    const Figures plainFigures = Measure(*application, engine, plain, "plain", rounds);
    const Figures realFigures = Measure(*application, engine, realistic, "realistic", rounds);
    std::printf("engine: %s\n", foliomix::impress::FindInstalledEngine().c_str());
    std::printf("engine start: %.3f s, engine peak memory %.0f MiB\n", startTime,
                PeakMiB(engine.Pid()));
    std::printf(
        "%d files x %d slides, medians of %d rounds; lower bound in the same engine "
        "process (load each input once, save once):\n",
        kFiles, kSlidesPerFile, rounds);
    for (const auto& [name, figures] :
         {std::pair{"plain text decks", plainFigures}, std::pair{"realistic decks", realFigures}}) {
        std::printf("  %-17s merge %.3f s, lower bound %.3f s, ratio %.2f\n", name, figures.merge,
                    figures.bound, figures.ratio);
    }
    application->Quit();
    return 0;
}

int Soak(int merges) {
    foliomix::testing::DeckMaker maker;
    Inputs inputs;
    MakeInputs(maker, inputs);

    ImpressPresentationServer server;
    auto application = server.CreateApplication();
    std::mt19937 random(20261207);
    long lost = 0, misplaced = 0, failed = 0;
    const auto started = Clock::now();
    for (int run = 1; run <= merges; ++run) {
        // A different file order each time, so that every deck lands at every position.
        std::vector<int> order(kFiles);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        std::vector<fs::path> decks;
        std::vector<std::string> expected;
        for (const int f : order) {
            decks.push_back(inputs.decks[static_cast<std::size_t>(f)]);
            for (int s = 1; s <= kSlidesPerFile; ++s) {
                expected.push_back(Title(f + 1, s));
            }
        }
        const fs::path result = inputs.folder.Path() / "soak.ppt";
        fs::remove(result);
        try {
            Merge(*application, decks, result);
        } catch (const ServerError& e) {
            // A detected failure, reported as the merge run would: not a silent loss.
            ++failed;
            std::printf("merge %d failed: %s\n", run, e.what());
            continue;
        }
        const auto saved = maker.Read(result).visibleSlides;
        long runLost = 0, runMisplaced = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (std::find(saved.begin(), saved.end(), expected[i]) == saved.end()) {
                ++runLost;
            } else if (i >= saved.size() || saved[i] != expected[i]) {
                ++runMisplaced;
            }
        }
        runLost +=
            saved.size() > expected.size() ? static_cast<long>(saved.size() - expected.size()) : 0;
        lost += runLost;
        misplaced += runMisplaced;
        if (runLost + runMisplaced > 0 || run % 10 == 0) {
            std::printf("merge %d: %zu slides, lost %ld, misplaced %ld (%.0f s so far)\n", run,
                        saved.size(), runLost, runMisplaced, Seconds(started));
            std::fflush(stdout);
        }
    }
    std::printf("soak: %d merges of %d files x %d slides; lost %ld, misplaced %ld, failed %ld\n",
                merges, kFiles, kSlidesPerFile, lost, misplaced, failed);
    application->Quit();
    return lost + misplaced + failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--engine") == 0) {
        // The adapter and the deck maker both find their engine through the variable.
        ::setenv(foliomix::impress::kEngineVariable, argv[2], 1);
        argv[2] = argv[0];
        argc -= 2;
        argv += 2;
    }
    try {
        if (argc == 3 && std::strcmp(argv[1], "--soak") == 0) {
            return Soak(std::atoi(argv[2]));
        }
        if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0) {
            return Bench(std::max(1, std::atoi(argv[2])));
        }
        if (argc == 1) {
            return Bench(3);
        }
        std::fprintf(stderr, "usage: %s [--engine PATH] [--rounds R | --soak N]\n", argv[0]);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    } catch (...) {
        // An engine's exception is no std::exception.
        std::fprintf(stderr, "error: an exception of the engine\n");
        return 1;
    }
}
