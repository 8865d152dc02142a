#include "merge/impress/temporary_directory.h"

#include <stdlib.h>

#include <string>
#include <system_error>
#include <vector>

#include "merge/presentation_server.h"

namespace foliomix::impress {

TemporaryDirectory::TemporaryDirectory(std::string_view prefix) {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        base = "/tmp";
    }
    std::string pattern = (base / std::string(prefix)).string() + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw ServerError("cannot create a temporary directory under " + base.string());
    }
    path_ = buffer.data();
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace foliomix::impress
