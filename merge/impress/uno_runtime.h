// This process's own UNO runtime, through which it talks to every engine it starts.
#pragma once

#include <filesystem>

#include <com/sun/star/uno/XComponentContext.hpp>

namespace foliomix::impress {

// The runtime's component context, bootstrapped on the first call from the URE of the engine
// in `programDir` (its fundamentalrc); later calls return the same context whatever folder they
// name. It stays for the life of the process: the bridges to every engine are made with it.
// Throws ServerError when the runtime cannot be bootstrapped.
[[nodiscard]] com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>
LocalUnoContext(const std::filesystem::path& programDir);

}  // namespace foliomix::impress
