#include "tests/windows/cli/cli_program_test.h"

namespace foliomix::cli::testing {

CliProgram::CliProgram() {
    folder.WriteDeck(L"甲.ppt", {"甲一", "甲二"});
    folder.WriteDeck(L"乙.pptx", {"乙一"});
    folder.WriteDeck(L"丙.odp", {"丙一", "丙二", "丙三"});
}

ProgramEnd CliProgram::Run(ProgramStart start) const {
    start.folder = folder.Work().wstring();
    start.environment.emplace_back(L"FOLIOMIX_STANDIN_LOG", folder.LogPath().wstring());
    return RunMergeProgram(start);
}

ProgramEnd CliProgram::Run(std::vector<std::wstring> arguments, Environment environment) const {
    return Run(ProgramStart{std::move(arguments), {}, std::move(environment), false, {}});
}

std::vector<std::string> CliProgram::LogLinesWith(std::string_view part) const {
    std::vector<std::string> lines;
    for (std::string& line : folder.Log()) {
        if (line.find(part) != std::string::npos) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace foliomix::cli::testing
