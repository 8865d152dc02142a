#include "merge/impress/engine_environment.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace foliomix::impress {
namespace {

constexpr std::string_view kUtf8Locale = "C.UTF-8";

bool IsUtf8(std::string_view locale) {
    std::string lower;
    for (const char c : locale) {
        if (c != '-') {
            lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return lower.find(".utf8") != std::string::npos;
}

// The entry "name=..." of `environment`, or end().
std::vector<std::string>::iterator Find(std::vector<std::string>& environment,
                                        std::string_view name) {
    return std::find_if(environment.begin(), environment.end(), [name](const std::string& entry) {
        return entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 &&
               entry[name.size()] == '=';
    });
}

std::string_view ValueOf(const std::string& entry) {
    return std::string_view(entry).substr(entry.find('=') + 1);
}

}  // namespace

std::vector<std::string> EngineEnvironment(std::vector<std::string> environment) {
    // POSIX order of precedence: a non-empty LC_ALL, then LC_CTYPE, then LANG.
    for (const std::string_view name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const auto entry = Find(environment, name);
        if (entry == environment.end() || ValueOf(*entry).empty()) {
            continue;
        }
        if (!IsUtf8(ValueOf(*entry))) {
            *entry = std::string(name) + "=" + std::string(kUtf8Locale);
        }
        return environment;
    }
    environment.push_back("LC_CTYPE=" + std::string(kUtf8Locale));
    return environment;
}

}  // namespace foliomix::impress
