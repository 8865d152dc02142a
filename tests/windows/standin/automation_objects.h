// The stand-in engine's automation objects, reached by member name (README.md lists them).
#pragma once

#include <oaidl.h>
#include <windows.h>

namespace standin {

// The engine's class and interface ids.
inline constexpr CLSID kApplicationClass = {
    0x91493441, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
inline constexpr IID kApplicationInterface = {
    0x91493442, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
inline constexpr CLSID kGlobalClass = {
    0x91493443, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};
inline constexpr IID kGlobalInterface = {
    0x91493451, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};

// New objects, each with one reference owned by the caller.
[[nodiscard]] IDispatch* NewApplication();
[[nodiscard]] IDispatch* NewGlobal();

}  // namespace standin
