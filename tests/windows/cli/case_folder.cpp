#include "tests/windows/cli/case_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace foliomix::cli::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

CaseFolder::CaseFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    root_ = fs::temp_directory_path() / (L"命令行-" + fs::path(name).wstring());
    work_ = root_ / L"工作";
    fs::remove_all(root_);
    fs::create_directories(work_);
}

CaseFolder::~CaseFolder() {
    if (!::testing::Test::HasFailure()) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

void CaseFolder::WriteDeck(std::wstring_view name, const std::vector<std::string>& titles) const {
    std::string deck = "FOLIOMIX-STANDIN-DECK\n";
    for (const std::string& title : titles) {
        deck += title + "\n";
    }
    WriteFile(name, deck);
}

void CaseFolder::WriteFile(std::wstring_view name, std::string_view bytes) const {
    std::ofstream(work_ / name, std::ios::binary) << bytes;
}

std::vector<std::string> CaseFolder::Names() const { return foliomix::testing::NamesIn(work_); }

std::vector<std::string> CaseFolder::Log() const {
    return Lines(FileBytesIfAny(LogPath()).value_or(""));
}

std::optional<std::vector<std::string>> DeckTitles(const fs::path& file) {
    const auto bytes = FileBytesIfAny(file);
    if (!bytes) {
        return std::nullopt;
    }
    std::vector<std::string> lines = Lines(*bytes);
    if (lines.empty() || !lines.front().starts_with("FOLIOMIX-STANDIN-DECK")) {
        return std::nullopt;
    }
    std::vector<std::string> titles;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        titles.push_back(lines[i].substr(0, lines[i].find('\t')));
    }
    return titles;
}

}  // namespace foliomix::cli::testing
