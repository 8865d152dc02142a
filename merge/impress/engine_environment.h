// The environment the engine process is started with. The engine turns file URLs into the
// bytes of file names through its locale's character set: under the plain "C" locale (no LANG,
// as under many service managers and CI runners) every non-ASCII name, Chinese ones included,
// fails to open or save. So the engine always gets a UTF-8 character type, the encoding of file
// names on Linux, and otherwise the environment we were given.
#pragma once

#include <string>
#include <vector>

namespace foliomix::impress {

// `environment` as "NAME=value" entries; returns them with LC_ALL, LC_CTYPE or LANG (whichever
// decides the character type) made UTF-8 where it is not.
[[nodiscard]] std::vector<std::string> EngineEnvironment(std::vector<std::string> environment);

}  // namespace foliomix::impress
