// A case of foliomix-merge.exe run with the stand-in engine, in a folder of its own that holds
// three decks: 甲.ppt (甲一, 甲二), 乙.pptx (乙一) and 丙.odp (丙一, 丙二, 丙三).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/windows/cli/case_folder.h"
#include "tests/windows/cli/merge_program.h"

namespace foliomix::cli::testing {

class CliProgram : public ::testing::Test {
  protected:
    CliProgram();

    // The program in the work folder, its stand-in logging into the case's log.
    [[nodiscard]] ProgramEnd Run(ProgramStart start) const;
    [[nodiscard]] ProgramEnd Run(std::vector<std::wstring> arguments,
                                 Environment environment = {}) const;

    // The log lines that contain `part`.
    [[nodiscard]] std::vector<std::string> LogLinesWith(std::string_view part) const;
    [[nodiscard]] bool LogHas(std::string_view part) const { return !LogLinesWith(part).empty(); }

    CaseFolder folder;
    const std::vector<std::string> decks{"丙.odp", "乙.pptx", "甲.ppt"};
};

}  // namespace foliomix::cli::testing
