// How Windows sees the executable: its version resource and its application manifest, as they
// are linked into every executable with the mascot's resources (this test's own included).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "version.h"

namespace {

constexpr int kManifestId = 1;     // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr int kManifestType = 24;  // RT_MANIFEST
constexpr char kWindows10And11[] = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}";

std::string ManifestText() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found =
        FindResourceA(module, MAKEINTRESOURCEA(kManifestId), MAKEINTRESOURCEA(kManifestType));
    if (!found) return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

// The whole version resource of this executable, as GetFileVersionInfoA reads it from the file.
std::vector<char> VersionInfo() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return {};
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(path, 0, size, info.data())) return {};
    return info;
}

// One text of the U.S. English, Unicode string table.
std::string VersionText(std::vector<char>& info, const char* name) {
    std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length)) {
        return "(missing)";
    }
    return std::string(text);
}

}  // namespace

TEST(ApplicationManifest, AsInvokerForWindows10And11AndNotDpiAware) {
    std::string manifest = ManifestText();
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\""));
    EXPECT_NE(std::string::npos,
              manifest.find(std::string("<supportedOS Id=\"") + kWindows10And11 + "\"/>"));
    // Unaware: the system scales the window, so its 41 x 41 pixels and the screen box stay
    // logical pixels at any display scale.
    EXPECT_NE(std::string::npos, manifest.find(">false</dpiAware>"));
    EXPECT_NE(std::string::npos, manifest.find(">unaware</dpiAwareness>"));
}

TEST(VersionResource, NamesTheProductAndCarriesTheProjectVersion) {
    std::vector<char> info = VersionInfo();
    ASSERT_FALSE(info.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(sizeof *fixed, length);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(MASCOT_VERSION_MINOR, MASCOT_VERSION_MAJOR)),
              fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, MASCOT_VERSION_PATCH)), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ("Zunpel", VersionText(info, "ProductName"));
    EXPECT_EQ("Zunpel desktop mascot", VersionText(info, "FileDescription"));
    EXPECT_EQ("mascot.exe", VersionText(info, "OriginalFilename"));
    EXPECT_EQ(MASCOT_VERSION_TEXT, VersionText(info, "ProductVersion"));
    EXPECT_EQ(MASCOT_VERSION_TEXT, VersionText(info, "FileVersion"));
}
