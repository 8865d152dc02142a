// Which engine a name given by the user names, and the order LibreOffice's own packages are
// tried in.
#include "merge/impress/engine_location.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "merge/impress/temporary_directory.h"

namespace foliomix::impress {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// An installation as LibreOffice's own packages lay it out: <root>/<name>/program/soffice.bin,
// with soffice beside it.
fs::path Install(const fs::path& root, const std::string& name) {
    fs::path program = root / name / "program";
    fs::create_directories(program);
    for (const char* file : {"soffice.bin", "soffice"}) {
        std::ofstream(program / file) << "#!/bin/sh\n";
        fs::permissions(program / file, fs::perms::owner_all);
    }
    return program;
}

TEST(EngineLocationTest, ANameGivesTheSofficeBinItNamesOrNone) {
    const TemporaryDirectory root("foliomix-engine-location-");
    const fs::path program = Install(root.Path(), "libreoffice25.2");
    fs::create_symlink(program / "soffice", root.Path() / "soffice");
    std::ofstream(root.Path() / "notes.txt") << "no engine\n";
    fs::create_directories(root.Path() / "empty");
    struct Case {
        fs::path given;
        bool names;
    };
    for (const Case& c :
         {Case{program / "soffice", true}, Case{program / "soffice.bin", true}, Case{program, true},
          Case{program.parent_path(), true}, Case{root.Path() / "soffice", true},
          Case{root.Path() / "notes.txt", false}, Case{root.Path() / "empty", false},
          Case{root.Path() / "none", false}, Case{fs::path(), false}}) {
        SCOPED_TRACE(c.given.string());
        const auto engine = EngineNamedBy(c.given);
        ASSERT_EQ(engine.has_value(), c.names);
        if (engine) {
            EXPECT_EQ(*engine, fs::canonical(program / "soffice.bin"));
        }
    }
}

TEST(EngineLocationTest, PackagedEnginesComeNewestVersionFirst) {
    const TemporaryDirectory root("foliomix-engine-packages-");
    for (const char* name : {"libreoffice7.6", "libreoffice25.2", "libreoffice24.8"}) {
        Install(root.Path(), name);
    }
    fs::create_directories(root.Path() / "libreoffice26.2" / "program");  // no engine in it
    Install(root.Path(), "openoffice4");
    EXPECT_THAT(PackagedEngines(root.Path()),
                ElementsAre(root.Path() / "libreoffice25.2" / "program",
                            root.Path() / "libreoffice24.8" / "program",
                            root.Path() / "libreoffice7.6" / "program"));
}

}  // namespace
}  // namespace foliomix::impress
