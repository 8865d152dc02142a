#include "merge/impress/engine_leftovers.h"

#include <rtl/digest.h>
#include <unistd.h>

#include <cstdio>
#include <system_error>

#include "merge/impress/uno_strings.h"
#include "merge/staging/staging_platform.h"

namespace foliomix::impress {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProfilePrefix = "foliomix-impress-";
constexpr std::string_view kPipePrefix = "foliomix_";

std::string SocketPrefix() { return "OSL_PIPE_" + std::to_string(::getuid()) + "_"; }

template <typename Remove>
void RemoveWhere(const fs::path& folder, std::string_view prefix, char separator, Remove&& remove) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (staging::NamesAnEndedProcess(name, prefix, separator)) {
            std::error_code ignored;
            remove(entry, ignored);
        }
    }
}

}  // namespace

std::u16string ProfileUrl(const fs::path& profileFolder) {
    return ToU16(FileUrlFromPath(profileFolder.u16string()));
}

fs::path SingleInstanceSocketPath(const fs::path& pipeFolder, std::u16string_view profileUrl) {
    // The engine's own rule: MD5 of the URL's UTF-16 code units in memory order, each byte in
    // hexadecimal without a leading zero.
    sal_uInt8 digest[RTL_DIGEST_LENGTH_MD5] = {};
    rtl_digest_MD5(profileUrl.data(), static_cast<sal_uInt32>(profileUrl.size() * sizeof(char16_t)),
                   digest, sizeof digest);
    std::string name = "SingleOfficeIPC_";
    for (const sal_uInt8 byte : digest) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%x", byte);
        name += hex;
    }
    return PipeSocketPath(pipeFolder, name);
}

std::string ProfileFolderPrefix() {
    return std::string(kProfilePrefix) + std::to_string(::getpid()) + "-";
}

std::string PipeNamePrefix() { return std::string(kPipePrefix) + std::to_string(::getpid()) + "_"; }

fs::path PipeSocketPath(const fs::path& pipeFolder, std::string_view pipeName) {
    return pipeFolder / (SocketPrefix() + std::string(pipeName));
}

void RemoveLeftoversOfEndedRuns(const fs::path& profileFolder, const fs::path& pipeFolder) {
    RemoveWhere(profileFolder, kProfilePrefix, '-',
                [&pipeFolder](const fs::directory_entry& entry, std::error_code& error) {
                    if (entry.is_directory(error) && !entry.is_symlink(error)) {
                        try {
                            fs::remove(
                                SingleInstanceSocketPath(pipeFolder, ProfileUrl(entry.path())),
                                error);
                        } catch (const std::exception&) {
                            // A folder without a URL had no engine socket either.
                        }
                        fs::remove_all(entry.path(), error);
                    }
                });
    RemoveWhere(pipeFolder, SocketPrefix() + std::string(kPipePrefix), '_',
                [](const fs::directory_entry& entry, std::error_code& error) {
                    if (entry.is_socket(error)) {
                        fs::remove(entry.path(), error);
                    }
                });
}

void RemoveLeftoversOfEndedRunsInTheirFolders() {
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    RemoveLeftoversOfEndedRuns(error ? fs::path("/tmp") : temporary, "/tmp");
}

}  // namespace foliomix::impress
