// A picture of the whole screen (under Wine: its virtual desktop) as a BMP file.
#pragma once

#include <string>

namespace foliomix::driver {

void SaveScreenshot(const std::wstring& bmpPath);

}  // namespace foliomix::driver
