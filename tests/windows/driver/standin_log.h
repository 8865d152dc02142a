// Reading the stand-in engine's call log: which calls it received, in which order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace foliomix::driver {

// The lines that contain `part`, in log order.
[[nodiscard]] std::vector<std::wstring> LinesWith(const std::vector<std::wstring>& lines,
                                                  std::wstring_view part);
// Whether any line contains `part`.
[[nodiscard]] bool AnyLineWith(const std::vector<std::wstring>& lines, std::wstring_view part);
// The index of the first line containing `part` at or after `from`; -1 when none.
[[nodiscard]] int IndexOf(const std::vector<std::wstring>& lines, std::wstring_view part,
                          int from = 0);
// The text after the last "(" of the last line with `part` up to its ")": the argument of the
// last such call, e.g. "false" for the last "Application.DisplayAlerts.put(".
[[nodiscard]] std::wstring LastArgument(const std::vector<std::wstring>& lines,
                                        std::wstring_view part);

}  // namespace foliomix::driver
