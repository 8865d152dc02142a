// Memory inside the program under test, for the control messages that the system does not
// carry across processes (status bar and file dialog messages above WM_USER).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace foliomix::driver {

class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, std::size_t bytes);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    [[nodiscard]] LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    // The wide text the program wrote at the start of the buffer, up to `chars` characters or
    // its first NUL.
    [[nodiscard]] std::wstring ReadText(std::size_t chars) const;

  private:
    HANDLE process_;
    void* address_;
    std::size_t bytes_;
};

}  // namespace foliomix::driver
