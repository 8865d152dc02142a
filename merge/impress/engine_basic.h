// Runs functions of ours inside the engine. Some steps make hundreds of small calls, each a
// round trip over the bridge; written in LibreOffice Basic and run in the engine, they cost
// next to nothing. The sources are built into the program and handed to the engine as modules
// of an application library, which lives in the engine's private profile and goes with it.
#pragma once

#include <string_view>

#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Sequence.hxx>

#include "merge/impress/engine_process.h"

namespace foliomix::impress {

struct BasicModule {
    std::string_view name;
    std::string_view source;
};

// Calls `function` of `module` with `arguments` and returns its result; the module is handed
// to the engine on its first use. Throws ServerError when the engine cannot run it.
css::uno::Any CallBasic(const EngineProcess& engine, const BasicModule& module,
                        std::string_view function,
                        const css::uno::Sequence<css::uno::Any>& arguments);

}  // namespace foliomix::impress
