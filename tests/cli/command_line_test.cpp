// The command line's arguments: every option in each of its spellings, "--", the order of
// options and inputs, and each way of getting them wrong.
#include "app/cli/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/cli/help_text.h"

namespace foliomix::cli {
namespace {

using Arguments = std::vector<std::string>;

struct Accepted {
    Arguments arguments;
    MergeRequest expected;
};

class AcceptedTest : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedTest, GivesTheRequest) {
    const CommandLine line = ParseCommandLine(GetParam().arguments);
    EXPECT_EQ(line.action, Action::kMerge);
    EXPECT_EQ(line.merge, GetParam().expected);
}

MergeRequest Request(std::string output, Arguments inputs, bool force = false, bool quiet = false,
                     std::optional<std::string> list = std::nullopt) {
    return {std::move(output), force,           quiet,       false,
            std::move(inputs), std::move(list), std::nullopt};
}

MergeRequest WithEngine(MergeRequest request, std::string engine) {
    request.engine = std::move(engine);
    return request;
}

MergeRequest Verbose(MergeRequest request) {
    request.verbose = true;
    return request;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, AcceptedTest,
    ::testing::Values(
        Accepted{{"-o", "r.ppt", "a.ppt", "b.pptx"}, Request("r.ppt", {"a.ppt", "b.pptx"})},
        Accepted{{"--output", "r.ppt", "a.ppt"}, Request("r.ppt", {"a.ppt"})},
        Accepted{{"--output=r.ppt", "a.ppt"}, Request("r.ppt", {"a.ppt"})},
        Accepted{{"-or.ppt", "a.ppt"}, Request("r.ppt", {"a.ppt"})},
        // Options after and between the inputs; the input order stays.
        Accepted{{"b.ppt", "-f", "a.ppt", "-o", "r.ppt", "--quiet"},
                 Request("r.ppt", {"b.ppt", "a.ppt"}, true, true)},
        Accepted{{"--force", "-q", "-o", "r.ppt", "a.ppt"},
                 Request("r.ppt", {"a.ppt"}, true, true)},
        // Grouped flags, the last one taking a value.
        Accepted{{"-fqo", "r.ppt", "a.ppt"}, Request("r.ppt", {"a.ppt"}, true, true)},
        Accepted{{"-vo", "r.ppt", "a.ppt"}, Verbose(Request("r.ppt", {"a.ppt"}))},
        Accepted{{"a.ppt", "--verbose", "-o", "r.ppt"}, Verbose(Request("r.ppt", {"a.ppt"}))},
        Accepted{{"--engine=/opt/lo/program", "-o", "r.ppt", "a.ppt"},
                 WithEngine(Request("r.ppt", {"a.ppt"}), "/opt/lo/program")},
        // A value is taken as it is, even when it looks like an option.
        Accepted{{"-o", "-r.ppt", "a.ppt"}, Request("-r.ppt", {"a.ppt"})},
        // After "--", everything is an input; "-" alone is always one.
        Accepted{{"-o", "r.ppt", "--", "-f", "--quiet", "a.ppt"},
                 Request("r.ppt", {"-f", "--quiet", "a.ppt"})},
        Accepted{{"-o", "r.ppt", "-"}, Request("r.ppt", {"-"})},
        // A list alone is enough; "-" names the standard input.
        Accepted{{"--from-file", "-", "-o", "r.ppt"}, Request("r.ppt", {}, false, false, "-")},
        Accepted{{"a.ppt", "--from-file=list.txt", "-o", "r.ppt"},
                 Request("r.ppt", {"a.ppt"}, false, false, "list.txt")}),
    [](const auto& test) { return "arguments" + std::to_string(test.index); });

struct Refused {
    Arguments arguments;
    std::string message;
};

class RefusedTest : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedTest, SaysWhy) {
    try {
        static_cast<void>(ParseCommandLine(GetParam().arguments));
        ADD_FAILURE() << "accepted";
    } catch (const UsageError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RefusedTest,
    ::testing::Values(Refused{{"a.ppt"}, "no output given: name it with -o OUT"},
                      Refused{{}, "no output given: name it with -o OUT"},
                      Refused{{"-o", "r.ppt"}, "no input given"},
                      Refused{{"-o", "", "a.ppt"}, "the output's name is empty"},
                      Refused{{"--output=", "a.ppt"}, "the output's name is empty"},
                      Refused{{"a.ppt", "-o"}, "--output needs a value"},
                      Refused{{"a.ppt", "-o", "r.ppt", "--from-file"}, "--from-file needs a value"},
                      Refused{{"-o", "r.ppt", "-x", "a.ppt"}, "unknown option '-x'"},
                      Refused{{"-o", "r.ppt", "-fx", "a.ppt"}, "unknown option '-x'"},
                      Refused{{"-o", "r.ppt", "--forc", "a.ppt"}, "unknown option '--forc'"},
                      Refused{{"-o", "r.ppt", "--force=yes", "a.ppt"}, "--force takes no value"},
                      Refused{{"-o", "r.ppt", "-o", "s.ppt", "a.ppt"},
                              "--output is given more than once"},
                      Refused{{"-o", "r.ppt", "--from-file", "l", "--from-file", "m"},
                              "--from-file is given more than once"},
                      // An unknown option is an error even beside --help.
                      Refused{{"--help", "--nonsense"}, "unknown option '--nonsense'"}),
    [](const auto& test) { return "arguments" + std::to_string(test.index); });

TEST(CommandLineTest, HelpAndVersionNeedNothingElseAndHelpComesFirst) {
    struct Case {
        Arguments arguments;
        Action action;
    };
    for (const Case& c :
         {Case{{"--help"}, Action::kHelp}, Case{{"-h"}, Action::kHelp},
          Case{{"--version"}, Action::kVersion}, Case{{"--version", "--help"}, Action::kHelp},
          Case{{"-o", "r.ppt", "a.ppt", "--version"}, Action::kVersion}}) {
        EXPECT_EQ(ParseCommandLine(c.arguments).action, c.action)
            << ::testing::PrintToString(c.arguments);
    }
}

TEST(CommandLineTest, TheVersionIsTheProjectsOwn) {
    EXPECT_EQ(VersionText(), "foliomix-merge " FOLIOMIX_PROJECT_VERSION "\n");
}

}  // namespace
}  // namespace foliomix::cli
