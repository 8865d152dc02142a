// The stand-in's objects made away from their client's apartment, in the process's
// multithreaded apartment. A single-threaded client then holds proxies: every call is marshalled,
// and the client waits for it in COM's modal loop, which consults the client's message filter,
// as it waits for the real engine in the engine's own process.
#pragma once

#include <oaidl.h>
#include <objbase.h>

namespace standin {

// Makes an object with `make` in the multithreaded apartment and hands the calling apartment
// its interface `riid`.
HRESULT MakeInMultithreadedApartment(IDispatch* (*make)(), REFIID riid, void** object);

}  // namespace standin
