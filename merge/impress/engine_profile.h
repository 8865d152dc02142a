// A new private profile prepared so that the engine takes it as one it has set up before.
//
// On a profile it has never seen, soffice.bin rebuilds its extension cache and asks to be
// started again, and then runs its graphics self-tests because the profile records no earlier
// version: about three seconds on every merge, ten times what the start itself needs. Both are
// keyed to values we can write beforehand: the installation's build id in
// user/extensions/buildid, and its product version as the profile's last used version.
#pragma once

#include <filesystem>
#include <string>

namespace foliomix::impress {

struct ProfileSeed {
    // versionrc's buildid with its macros expanded, e.g. "40(Build:2)"; empty when unknown.
    std::string buildId;
    // The product version the configuration names, e.g. "7.4"; empty when unknown.
    std::string productVersion;
};

// Reads both values from the installation around `programDir` (soffice.bin's folder). What
// cannot be found stays empty: the engine then only starts more slowly. The build id is read
// as the engine reads it, with rtl::Bootstrap: a name that versionrc does not define is looked
// up in the process's UNO bootstrap (fundamentalrc), which rtl settles at the first such
// lookup. So in a process that talks to an engine, call this after LocalUnoContext.
[[nodiscard]] ProfileSeed ReadProfileSeed(const std::filesystem::path& programDir);

// Writes what `seed` knows into the empty profile `profileDir` (the engine's UserInstallation).
// A file that cannot be written is left out: the profile is usable either way.
void SeedProfile(const std::filesystem::path& profileDir, const ProfileSeed& seed);

}  // namespace foliomix::impress
