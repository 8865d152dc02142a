// The end-to-end cases the driver knows, each run by name: driver.exe <case> [--out <folder>].
#pragma once

#include <string>

namespace foliomix::driver {

using CaseFunction = void (*)();

struct CaseRegistrar {
    CaseRegistrar(const char* name, CaseFunction run);
};

// The folder (a Windows path) given with --out for files a case leaves for the caller, such as
// the screenshot; empty when none was given.
[[nodiscard]] const std::wstring& OutputFolder();

}  // namespace foliomix::driver

#define DRIVER_CASE(name)                                                          \
    static void name();                                                            \
    static const ::foliomix::driver::CaseRegistrar name##_registrar(#name, &name); \
    static void name()
