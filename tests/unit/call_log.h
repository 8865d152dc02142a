// One ordered record of the calls that the fakes receive, as readable UTF-8 lines.
#pragma once

#include <string>
#include <vector>

#include "tests/support/utf8.h"

namespace foliomix::testing {

using CallLog = std::vector<std::string>;

}  // namespace foliomix::testing
