// The resources foliomix.exe carries: the icon set as its application icon, the version
// information and the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

namespace {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\')) + L"\\foliomix.exe";
}

class Resources : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "foliomix.exe is not beside the test program";
    }
    void TearDown() override { FreeLibrary(module); }

    [[nodiscard]] std::pair<const BYTE*, DWORD> Resource(LPCWSTR name, LPCWSTR type) const {
        HRSRC found = FindResourceW(module, name, type);
        if (!found) {
            return {nullptr, 0};
        }
        return {static_cast<const BYTE*>(LockResource(LoadResource(module, found))),
                SizeofResource(module, found)};
    }

    HMODULE module = nullptr;
};

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

BOOL CALLBACK FirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    *reinterpret_cast<ULONG_PTR*>(param) = reinterpret_cast<ULONG_PTR>(name);
    return FALSE;
}

TEST_F(Resources, TheFirstIconGroupHoldsEverySizeAtBothDepths) {
    ULONG_PTR first = 0;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14), &FirstName,
                       reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, 1U) << "the program icon is not the executable's first icon";

    const auto [group, size] =
        Resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const WORD count = reinterpret_cast<const WORD*>(group)[2];
    ASSERT_EQ(size, 6U + count * sizeof(GroupIconEntry));
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(group + 6);
    std::set<std::pair<int, int>> images;
    for (WORD i = 0; i < count; ++i) {
        const int width = entries[i].width == 0 ? 256 : entries[i].width;
        images.insert({width, entries[i].bitCount});
        const auto [image, imageSize] =
            Resource(MAKEINTRESOURCEW(entries[i].id), MAKEINTRESOURCEW(3));  // RT_ICON
        ASSERT_NE(image, nullptr);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
        EXPECT_EQ(header->biWidth, width);
        EXPECT_EQ(header->biBitCount, entries[i].bitCount);
        if (header->biBitCount == 32) {
            // Real alpha: transparent corners and soft, partly covered edges.
            const BYTE* pixels = image + header->biSize;
            const int pixelCount = width * width;
            int clear = 0;
            int partial = 0;
            for (int p = 0; p < pixelCount; ++p) {
                const BYTE alpha = pixels[p * 4 + 3];
                clear += alpha == 0 ? 1 : 0;
                partial += alpha > 0 && alpha < 255 ? 1 : 0;
            }
            EXPECT_GT(clear, 0) << width;
            EXPECT_GT(partial, 0) << width;
        }
    }
    const std::set<std::pair<int, int>> expected{{48, 8}, {48, 32}, {32, 8}, {32, 32},
                                                 {24, 8}, {24, 32}, {16, 8}, {16, 32}};
    EXPECT_EQ(images, expected);
}

TEST_F(Resources, VersionIsOnePointZeroZero) {
    const std::wstring path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0U);
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    for (const wchar_t* key : {L"\\StringFileInfo\\080404B0\\FileVersion",
                               L"\\StringFileInfo\\080404B0\\ProductVersion"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(key)));
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(data.data(), key, &value, &length));
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), L"1.00");
    }
    void* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", &fixed, &length));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(info->dwFileVersionMS, 0x00010000U);
}

TEST_F(Resources, ManifestAsksForCommonControlsSixAndPerMonitorDpiAwareness) {
    const auto [manifest, size] =
        Resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const std::string text(reinterpret_cast<const char*>(manifest), size);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(text.find("true/pm"), std::string::npos);
}

}  // namespace
