// Where the engine writes a result, so that the chosen file changes only in one step, once the
// result is complete: a hidden folder of ours beside the chosen file (the same file system),
// named ".foliomix-save-<process id>-<n>". The engine writes into it under the chosen file's own
// name (whatever an engine derives from a name, it derives as for the chosen file), or under a
// short name of the same extension where the chosen one leaves no room for the files an engine
// keeps beside the file it writes (LibreOffice's lock file adds 8 bytes to the name). The
// finished file is then renamed onto the chosen name. A failed, killed or interrupted save never
// touches an existing file of that name and leaves nothing beside it: the engine's lock and
// temporary files stay inside our folder, which goes with this object or, should the program be
// killed, at the next staged save into the same folder. A lock that another program holds on the
// chosen name does not stand in the way either.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace foliomix {

// What a staged save does with a file that already has the chosen name when the result is
// renamed onto it.
enum class ExistingFile : std::uint8_t {
    Replace,
    Keep,  // the save fails instead, as FailureKind::ResultExists
};

class StagedResult {
  public:
    // Removes what the staged saves of ended runs left in the target's folder, then makes our
    // folder there. Throws ServerError (NoSuchFolder, PermissionDenied, DiskFull or Other) when
    // it cannot be made.
    explicit StagedResult(const std::filesystem::path& target);
    // Removes our folder with everything in it.
    ~StagedResult();
    StagedResult(const StagedResult&) = delete;
    StagedResult& operator=(const StagedResult&) = delete;
    StagedResult(StagedResult&&) = delete;
    StagedResult& operator=(StagedResult&&) = delete;

    // The file the engine is to write: absolute, in our folder.
    [[nodiscard]] const std::filesystem::path& EnginePath() const { return enginePath_; }

    // Renames the engine's file onto the target. Throws ServerError when the engine wrote no
    // file, when the target exists by now and `existing` is Keep (ResultExists), or when the
    // rename fails; the target is then as it was.
    void Commit(ExistingFile existing);

  private:
    std::filesystem::path target_;
    std::filesystem::path folder_;
    std::filesystem::path enginePath_;
};

// The start of every staging folder's name; the process id and "-" follow.
inline constexpr std::string_view kStagingPrefix = ".foliomix-save-";

}  // namespace foliomix
