// The engine's environment always has a UTF-8 character type, whatever ours has, and keeps
// everything else.
#include "merge/impress/engine_environment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace foliomix::impress {
namespace {

using ::testing::ElementsAreArray;

struct EnvironmentCase {
    const char* name;
    std::vector<std::string> given;
    std::vector<std::string> expected;
};

void PrintTo(const EnvironmentCase& c, std::ostream* out) { *out << c.name; }

class EngineEnvironmentTest : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(EngineEnvironmentTest, CharacterTypeIsUtf8) {
    EXPECT_THAT(EngineEnvironment(GetParam().given), ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, EngineEnvironmentTest,
    ::testing::Values(
        EnvironmentCase{"NoLocaleAtAll",
                        {"HOME=/root", "PATH=/bin"},
                        {"HOME=/root", "PATH=/bin", "LC_CTYPE=C.UTF-8"}},
        EnvironmentCase{"Utf8LangKept", {"LANG=zh_CN.UTF-8"}, {"LANG=zh_CN.UTF-8"}},
        EnvironmentCase{"Utf8SpelledWithoutDashKept", {"LANG=de_DE.utf8"}, {"LANG=de_DE.utf8"}},
        EnvironmentCase{"PlainCLangReplaced", {"LANG=C", "X=1"}, {"LANG=C.UTF-8", "X=1"}},
        EnvironmentCase{"LegacyCharsetReplaced", {"LANG=zh_CN.GB18030"}, {"LANG=C.UTF-8"}},
        // LC_ALL overrides the others, so it is the one that must change.
        EnvironmentCase{"LcAllDecides",
                        {"LANG=zh_CN.UTF-8", "LC_ALL=POSIX"},
                        {"LANG=zh_CN.UTF-8", "LC_ALL=C.UTF-8"}},
        EnvironmentCase{"LcCtypeBeforeLang",
                        {"LC_CTYPE=C", "LANG=en_US.UTF-8"},
                        {"LC_CTYPE=C.UTF-8", "LANG=en_US.UTF-8"}},
        // An empty LC_ALL counts as unset.
        EnvironmentCase{
            "EmptyLcAllIgnored", {"LC_ALL=", "LANG=en_US.UTF-8"}, {"LC_ALL=", "LANG=en_US.UTF-8"}},
        // A variable whose name merely starts like one of ours is not mistaken for it.
        EnvironmentCase{"SimilarNamesIgnored",
                        {"LANGUAGE=zh_CN", "LANGX=C"},
                        {"LANGUAGE=zh_CN", "LANGX=C", "LC_CTYPE=C.UTF-8"}}),
    [](const ::testing::TestParamInfo<EnvironmentCase>& param) { return param.param.name; });

}  // namespace
}  // namespace foliomix::impress
