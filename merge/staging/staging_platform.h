// The file system steps of a staged save that differ between platforms; each platform
// implements them in a file of its own.
#pragma once

#include <filesystem>
#include <string_view>

namespace foliomix::staging {

[[nodiscard]] int CurrentProcessId();

// Removes the folders in `folder` named "<prefix><pid>-…" whose process has ended, with
// everything in them: what a killed run left. A running process's folders (and one we may not
// look at, which may be running), anything that is not a real folder (a link under such a name
// is not ours to follow) and anything of another name are left alone; so is what cannot be
// removed.
void RemoveFoldersOfEndedRuns(const std::filesystem::path& folder, std::string_view prefix);

// Keeps a folder out of the user's listings where its name alone does not: a name that starts
// with "." hides it on Linux, not on Windows.
void HideFolder(const std::filesystem::path& folder);

// Renames the file `from` onto `to`, in the same file system, in one step. An existing `to` is
// replaced only when `replace` is true. Throws std::system_error, whose code compares equal to
// std::errc::file_exists when `to` exists and is not to be replaced.
void RenameOnto(const std::filesystem::path& from, const std::filesystem::path& to, bool replace);

#ifndef _WIN32
// Whether `name` is "<prefix><pid><separator>…" and that process certainly no longer exists
// (one we may not signal still runs).
[[nodiscard]] bool NamesAnEndedProcess(std::string_view name, std::string_view prefix,
                                       char separator);
#endif

}  // namespace foliomix::staging
