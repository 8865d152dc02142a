// The type library of the engine's two dual interfaces that clients ask for by their own ids:
// the application's and the global object's. When the stand-in's objects live in another
// apartment, COM marshals every interface it hands out, and it marshals these two with the
// system's IDispatch marshaller, which learns from this library that they are dispinterfaces
// (clients use them through IDispatch only). The real engine registers a compiled type library;
// the stand-in makes its own small one when it is registered.
#pragma once

#include <objbase.h>

namespace standin {

// Writes the library into the temporary folder and registers it.
[[nodiscard]] HRESULT RegisterTypeLibrary();
// Unregisters the library and deletes its file.
void UnregisterTypeLibrary();

}  // namespace standin
