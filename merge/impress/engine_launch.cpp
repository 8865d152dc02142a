#include "merge/impress/engine_launch.h"

#include "merge/impress/engine_connection.h"
#include "merge/impress/engine_environment.h"
#include "merge/impress/uno_strings.h"

extern char** environ;

namespace foliomix::impress {
namespace {

std::vector<std::string> CurrentEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    return entries;
}

}  // namespace

std::vector<std::string> EngineArguments(std::u16string_view profileUrl,
                                         const std::string& pipeName) {
    return {"-env:UserInstallation=" + ToUtf8(ToOUString(profileUrl)),
            "--headless",
            "--invisible",
            "--norestore",
            "--nologo",
            "--nodefault",
            "--nolockcheck",
            AcceptArgument(pipeName)};
}

std::vector<std::string> EngineLaunchEnvironment(const std::filesystem::path& temporaryFolder) {
    std::vector<std::string> environment = EngineEnvironment(CurrentEnvironment());
    std::erase_if(environment,
                  [](const std::string& entry) { return entry.starts_with("TMPDIR="); });
    environment.push_back("TMPDIR=" + temporaryFolder.string());
    return environment;
}

}  // namespace foliomix::impress
