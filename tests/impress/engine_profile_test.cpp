// What a new engine profile is seeded with, read from installations of either layout, and
// nothing guessed where the installation does not say.
#include "merge/impress/engine_profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "merge/impress/temporary_directory.h"

namespace foliomix::impress {
namespace {

namespace fs = std::filesystem;

// The schema declares the property with an empty value; the data part gives the version.
constexpr const char* kMainXcd =
    R"(<oor:data><oor:component-schema oor:name="Setup" oor:package="org.openoffice">)"
    R"(<prop oor:name="ooSetupVersion" oor:type="xs:string" oor:nillable="false">)"
    "\n  <value/>\n</prop>"
    R"(<prop oor:name="ooSetupLastVersion" oor:type="xs:string" oor:nillable="true"/>)"
    R"(</oor:component-schema><oor:component-data oor:name="Setup">)"
    R"(<prop oor:name="ooSetupVersion">)"
    "\n  <value>7.4</value>\n</prop></oor:component-data></oor:data>";

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct InstallationCase {
    const char* name;
    const char* versionrc;     // nullptr: no file
    const char* registryPath;  // where main.xcd lies, under the installation; nullptr: nowhere
    const char* mainXcd;
    ProfileSeed expected;
};

void PrintTo(const InstallationCase& c, std::ostream* out) { *out << c.name; }

class ReadProfileSeedTest : public ::testing::TestWithParam<InstallationCase> {};

TEST_P(ReadProfileSeedTest, TakesOnlyWhatTheInstallationStates) {
    const InstallationCase& c = GetParam();
    const TemporaryDirectory installation("foliomix-install-test-");
    const fs::path program = installation.Path() / "program";
    fs::create_directories(program);
    if (c.versionrc != nullptr) {
        Write(program / "versionrc", c.versionrc);
    }
    if (c.registryPath != nullptr) {
        Write(installation.Path() / c.registryPath / "main.xcd", c.mainXcd);
    }
    for (const fs::path& dir : {program, program / ""}) {
        const ProfileSeed seed = ReadProfileSeed(dir);
        EXPECT_EQ(seed.buildId, c.expected.buildId) << dir;
        EXPECT_EQ(seed.productVersion, c.expected.productVersion) << dir;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ReadProfileSeedTest,
    ::testing::Values(
        InstallationCase{"Upstream",
                         "[Version]\nbuildid=40(Build:2)\nVendor=x\n",
                         "share/registry",
                         kMainXcd,
                         {"40(Build:2)", "7.4"}},
        InstallationCase{"DebianHiddenRegistry",
                         "[Version]\r\nbuildid=abc123\r\n",
                         "share/.registry",
                         kMainXcd,
                         {"abc123", "7.4"}},
        InstallationCase{"NothingInstalled", nullptr, nullptr, "", {"", ""}},
        // The engine reads versionrc with rtl::Bootstrap, which knows no sections: the first
        // buildid of the file is the one it compares, whichever section holds it.
        InstallationCase{"BuildIdOfAnySectionTheFirstCounts",
                         "[Other]\nbuildid=first\n[Version]\nbuildid=second\n",
                         nullptr,
                         "",
                         {"first", ""}},
        // Macros are expanded as the engine expands them: from the file itself...
        InstallationCase{"BuildIdWithAMacroOfItsFile",
                         "[Version]\nBuild=2\nbuildid=40(Build:${Build})\n",
                         nullptr,
                         "",
                         {"40(Build:2)", ""}},
        // ...and one that nothing defines expands to nothing: no build id is written.
        InstallationCase{"BuildIdWithAMacro",
                         "[Version]\nbuildid=${FOLIOMIX_TEST_UNDEFINED}\n",
                         nullptr,
                         "",
                         {"", ""}},
        InstallationCase{"OnlyTheSchema",
                         nullptr,
                         "share/registry",
                         R"(<prop oor:name="ooSetupVersion" oor:type="xs:string"><value/></prop>)",
                         {"", ""}},
        InstallationCase{"NotAVersion",
                         nullptr,
                         "share/registry",
                         R"(<prop oor:name="ooSetupVersion"><value>seven</value></prop>)",
                         {"", ""}}),
    [](const ::testing::TestParamInfo<InstallationCase>& param) { return param.param.name; });

TEST(SeedProfileTest, WritesTheBuildIdAndTheLastVersionWhereTheEngineLooks) {
    const TemporaryDirectory profile("foliomix-profile-test-");
    SeedProfile(profile.Path(), {"40(Build:2)", "7.4"});
    // The engine compares the file's first line with versionrc's buildid.
    EXPECT_EQ(Read(profile.Path() / "user/extensions/buildid"), "40(Build:2)");
    const std::string modifications = Read(profile.Path() / "user/registrymodifications.xcu");
    EXPECT_NE(modifications.find(R"(<item oor:path="/org.openoffice.Setup/Product">)"
                                 R"(<prop oor:name="ooSetupLastVersion" oor:op="fuse">)"
                                 "<value>7.4</value></prop></item>"),
              std::string::npos)
        << modifications;
}

TEST(SeedProfileTest, AnUnknownSeedLeavesTheProfileEmpty) {
    const TemporaryDirectory profile("foliomix-profile-test-");
    SeedProfile(profile.Path(), {});
    EXPECT_TRUE(fs::is_empty(profile.Path()));
}

}  // namespace
}  // namespace foliomix::impress
