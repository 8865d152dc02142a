#include "merge/impress/engine_profile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>

#include <rtl/bootstrap.hxx>

#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const fs::path& path, std::string_view bytes) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The folder that holds program/ and share/.
fs::path InstallationRoot(fs::path programDir) {
    if (!programDir.has_filename()) {
        programDir = programDir.parent_path();  // a trailing separator
    }
    return programDir.parent_path();
}

// versionrc's buildid as the engine reads it: it expands ${<versionrc>:buildid} through
// rtl::Bootstrap, which knows no sections (the first buildid of the file counts) and expands
// the macros of the value.
std::string BuildIdFrom(const fs::path& versionrc) {
    std::error_code error;
    if (!fs::is_regular_file(versionrc, error)) {
        // rtl::Bootstrap would read this program's own ini file instead.
        return {};
    }
    try {
        rtl::OUString value;
        rtl::Bootstrap(FileUrlFromPath(versionrc.u16string())).getFrom("buildid", value);
        return ToUtf8(value);
    } catch (const ServerError&) {
        return {};  // a path with no file URL
    }
}

bool IsVersionNumber(std::string_view text) {
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text.front())) != 0 &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '.';
           });
}

// The value of the ooSetupVersion property in a configuration data file (.xcd). Its schema
// declares the property with an empty value first; the data that follows gives the version.
std::string ProductVersionFrom(std::string_view xcd) {
    constexpr std::string_view kProperty = R"(oor:name="ooSetupVersion")";
    constexpr std::string_view kValue = "<value>";
    constexpr std::string_view kValueEnd = "</value>";
    for (std::size_t at = xcd.find(kProperty); at != std::string_view::npos;
         at = xcd.find(kProperty, at + kProperty.size())) {
        const std::size_t end = xcd.find("</prop>", at);
        const std::string_view prop = xcd.substr(at, end == std::string_view::npos ? 0 : end - at);
        const std::size_t value = prop.find(kValue);
        if (value == std::string_view::npos) {
            continue;
        }
        const std::size_t begin = value + kValue.size();
        const std::size_t valueEnd = prop.find(kValueEnd, begin);
        if (valueEnd == std::string_view::npos) {
            continue;
        }
        const std::string_view version = prop.substr(begin, valueEnd - begin);
        if (IsVersionNumber(version)) {
            return std::string(version);
        }
    }
    return {};
}

}  // namespace

ProfileSeed ReadProfileSeed(const fs::path& programDir) {
    ProfileSeed seed;
    seed.buildId = BuildIdFrom(programDir / "versionrc");
    // Upstream keeps the configuration in share/registry; Debian moves it to share/.registry
    // and puts a link to /etc in its place.
    const fs::path share = InstallationRoot(programDir) / "share";
    for (const char* folder : {"registry", ".registry"}) {
        if (const auto xcd = ReadWholeFile(share / folder / "main.xcd")) {
            seed.productVersion = ProductVersionFrom(*xcd);
            if (!seed.productVersion.empty()) {
                break;
            }
        }
    }
    return seed;
}

void SeedProfile(const fs::path& profileDir, const ProfileSeed& seed) {
    const fs::path user = profileDir / "user";
    if (!seed.buildId.empty()) {
        WriteWholeFile(user / "extensions" / "buildid", seed.buildId);
    }
    if (!seed.productVersion.empty()) {
        // Only digits and dots reach here: nothing to escape.
        const std::string modifications =
            R"(<?xml version="1.0" encoding="UTF-8"?>)"
            "\n"
            R"(<oor:items xmlns:oor="http://openoffice.org/2001/registry" )"
            R"(xmlns:xs="http://www.w3.org/2001/XMLSchema" )"
            R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">)"
            "\n"
            R"(<item oor:path="/org.openoffice.Setup/Product">)"
            R"(<prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>)" +
            seed.productVersion + "</value></prop></item>\n</oor:items>\n";
        WriteWholeFile(user / "registrymodifications.xcu", modifications);
    }
}

}  // namespace foliomix::impress
