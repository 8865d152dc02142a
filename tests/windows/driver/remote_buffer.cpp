#include "tests/windows/driver/remote_buffer.h"

#include <algorithm>

#include "tests/windows/driver/check.h"

namespace foliomix::driver {

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t bytes)
    : process_(process),
      address_(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      bytes_(bytes) {
    if (!address_) {
        throw DriverError("cannot allocate memory in the program under test");
    }
}

RemoteBuffer::~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }

std::wstring RemoteBuffer::ReadText(std::size_t chars) const {
    std::wstring text(std::min(chars, bytes_ / sizeof(wchar_t)), L'\0');
    SIZE_T read = 0;
    if (!ReadProcessMemory(process_, address_, text.data(), text.size() * sizeof(wchar_t), &read)) {
        throw DriverError("cannot read memory of the program under test");
    }
    text.resize(read / sizeof(wchar_t));
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

}  // namespace foliomix::driver
