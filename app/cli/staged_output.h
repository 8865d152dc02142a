// Where the engine writes the result, so that the output changes only in one step, once the
// result is complete: a hidden folder of ours in the output's folder (the same file system),
// named ".foliomix-merge-<process id>-<n>", holding a file of the output's very name (the
// engine derives what it derives from a name, format or title, as for the output itself). The
// finished file is renamed onto the output. A failed, killed or interrupted save never touches
// an existing output and leaves nothing beside it; the folder goes with this object, or, should
// the program be killed, at the next run that writes into the same folder.
//
// The engines differ: LibreOffice saves through a temporary name of its own, PowerPoint writes
// the file it is given in place. This covers both.
#pragma once

#include <filesystem>
#include <string_view>

namespace foliomix::cli {

// The start of every staging folder's name; the process id and "-" follow.
inline constexpr std::string_view kStagingPrefix = ".foliomix-merge-";

class StagedOutput {
  public:
    // Makes our folder beside `output` (made absolute first). Throws std::system_error when it
    // cannot be made: no such folder, no right to write there.
    StagedOutput(const std::filesystem::path& output, int processId);
    // Removes our folder with everything in it.
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // The file the engine is to write: absolute, in our folder, with the output's name.
    [[nodiscard]] const std::filesystem::path& EnginePath() const { return enginePath_; }

    // Renames the engine's file onto the output. Throws std::runtime_error when the engine
    // wrote nothing, when the output exists by now and `replace` is false, or when the rename
    // fails; the output is then as it was.
    void Commit(bool replace);

  private:
    std::filesystem::path output_;
    std::filesystem::path folder_;
    std::filesystem::path enginePath_;
};

}  // namespace foliomix::cli
