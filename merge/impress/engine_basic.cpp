#include "merge/impress/engine_basic.h"

#include <string>

#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProvider.hpp>
#include <com/sun/star/script/provider/theMasterScriptProviderFactory.hpp>

#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;

namespace {

constexpr std::string_view kLibrary = "Foliomix";

void Install(const EngineProcess& engine, const BasicModule& module) {
    const uno::Reference<css::script::XLibraryContainer> libraries(
        engine.Context()->getServiceManager()->createInstanceWithContext(
            "com.sun.star.script.ApplicationScriptLibraryContainer", engine.Context()),
        uno::UNO_QUERY_THROW);
    const rtl::OUString library = Utf8ToOUString(kLibrary);
    const uno::Reference<css::container::XNameContainer> modules(
        libraries->hasByName(library) ? libraries->getByName(library)
                                      : uno::Any(libraries->createLibrary(library)),
        uno::UNO_QUERY_THROW);
    const rtl::OUString name = Utf8ToOUString(module.name);
    if (!modules->hasByName(name)) {
        modules->insertByName(name, uno::Any(Utf8ToOUString(module.source)));
    }
    libraries->loadLibrary(library);
}

}  // namespace

uno::Any CallBasic(const EngineProcess& engine, const BasicModule& module,
                   std::string_view function, const uno::Sequence<uno::Any>& arguments) {
    try {
        const std::string uri = "vnd.sun.star.script:" + std::string(kLibrary) + "." +
                                std::string(module.name) + "." + std::string(function) +
                                "?language=Basic&location=application";
        auto& script = engine.Scripts()[uri];
        if (!script.is()) {
            Install(engine, module);
            script = css::script::provider::theMasterScriptProviderFactory::get(engine.Context())
                         ->createScriptProvider(uno::Any(rtl::OUString()))
                         ->getScript(Utf8ToOUString(uri));
        }
        uno::Sequence<sal_Int16> outIndexes;
        uno::Sequence<uno::Any> outValues;
        return script->invoke(arguments, outIndexes, outValues);
    } catch (const uno::Exception& e) {
        throw ServerError("running " + std::string(module.name) + "." + std::string(function) +
                          " in the engine: " + ToUtf8(e.Message));
    }
}

}  // namespace foliomix::impress
