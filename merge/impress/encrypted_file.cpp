#include "merge/impress/encrypted_file.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/embed/ElementModes.hpp>
#include <com/sun/star/embed/StorageFactory.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/ucb/SimpleFileAccess.hpp>

namespace foliomix::impress {

namespace css = com::sun::star;
namespace uno = css::uno;

namespace {

uno::Sequence<uno::Any> Arguments(const uno::Any& first, const uno::Any& second) {
    uno::Sequence<uno::Any> arguments(2);
    arguments.getArray()[0] = first;
    arguments.getArray()[1] = second;
    return arguments;
}

// The storage factory offers no other way to open a storage than the one its IDL marks
// deprecated in favour of arguments passed with a context, which it does not take.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
bool IsEncryptedPackage(const EngineProcess& engine, const rtl::OUString& url) {
    try {
        const uno::Reference<css::beans::XPropertySet> storage(
            css::embed::StorageFactory::create(engine.Context())
                ->createInstanceWithArguments(
                    Arguments(uno::Any(url), uno::Any(css::embed::ElementModes::READ))),
            uno::UNO_QUERY_THROW);
        bool encrypted = false;
        storage->getPropertyValue("HasEncryptedEntries") >>= encrypted;
        return encrypted;
    } catch (const uno::Exception&) {
        return false;  // no package
    }
}
#pragma GCC diagnostic pop

// Office's encryption of OOXML keeps the package as the stream "EncryptedPackage"; PowerPoint 97's
// keeps the document summary as "EncryptedSummary".
bool IsEncryptedCompoundFile(const EngineProcess& engine, const rtl::OUString& url) {
    try {
        const uno::Reference<css::io::XInputStream> stream =
            css::ucb::SimpleFileAccess::create(engine.Context())->openFileRead(url);
        const uno::Reference<css::container::XNameAccess> storage(
            engine.Context()->getServiceManager()->createInstanceWithArgumentsAndContext(
                "com.sun.star.embed.OLESimpleStorage", Arguments(uno::Any(stream), uno::Any(false)),
                engine.Context()),
            uno::UNO_QUERY_THROW);
        return storage->hasByName("EncryptedPackage") || storage->hasByName("EncryptedSummary");
    } catch (const uno::Exception&) {
        return false;  // no compound file
    }
}

}  // namespace

bool IsEncryptedFile(const EngineProcess& engine, const rtl::OUString& url) {
    return IsEncryptedPackage(engine, url) || IsEncryptedCompoundFile(engine, url);
}

}  // namespace foliomix::impress
