#include "merge/impress/uno_strings.h"

#include <osl/process.h>
#include <osl/file.hxx>
#include <rtl/string.hxx>

#include "merge/presentation_server.h"

namespace foliomix::impress {

rtl::OUString ToOUString(std::u16string_view text) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.data()),
                         static_cast<sal_Int32>(text.size()));
}

rtl::OUString Utf8ToOUString(std::string_view text) {
    return rtl::OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const rtl::OUString& text) {
    const rtl::OString utf8 = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(utf8.getStr(), static_cast<std::size_t>(utf8.getLength()));
}

std::u16string ToU16(const rtl::OUString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.getStr()),
                          static_cast<std::size_t>(text.getLength()));
}

rtl::OUString FileUrlFromPath(std::u16string_view path) {
    if (path.empty()) {
        throw ServerError("empty file name");
    }
    rtl::OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(ToOUString(path), url) != osl::FileBase::E_None) {
        throw ServerError("not a file path: " + ToUtf8(ToOUString(path)));
    }
    if (path.front() != u'/') {
        rtl::OUString workingDirectory;
        rtl::OUString absolute;
        if (osl_getProcessWorkingDir(&workingDirectory.pData) != osl_Process_E_None ||
            osl::FileBase::getAbsoluteFileURL(workingDirectory, url, absolute) !=
                osl::FileBase::E_None) {
            throw ServerError("cannot make the path absolute: " + ToUtf8(url));
        }
        url = absolute;
    }
    return url;
}

}  // namespace foliomix::impress
