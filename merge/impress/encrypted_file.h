// Whether a file the engine could not open is encrypted, as the engine's own storage services
// see it: asked only after a failed load, to tell a password-protected deck from a broken one.
// (Answering the engine's password request during the load instead brings LibreOffice 25.2
// down, whatever the answer.)
#pragma once

#include <rtl/ustring.hxx>

#include "merge/impress/engine_process.h"

namespace foliomix::impress {

// An OpenDocument package with encrypted entries, or an OLE compound file that holds an
// encrypted Office Open XML package or an encrypted PowerPoint 97 deck. False when the engine
// cannot read the file as either.
[[nodiscard]] bool IsEncryptedFile(const EngineProcess& engine, const rtl::OUString& url);

}  // namespace foliomix::impress
