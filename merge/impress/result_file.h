// Where the engine writes a result, so that the chosen file changes only in one step, once the
// result is complete: a private folder of ours beside the chosen file (the same file system),
// named with our process id. The engine saves into it under a short name of ours, and the
// finished file is renamed onto the chosen name. A failed or killed save never touches an
// existing file of that name; the engine's lock and temporary files stay inside our folder,
// which goes with this object, or, should we be killed, at the next save into that folder;
// and neither a lock that another program holds on the chosen name nor a chosen name so long
// that the engine's lock file name would pass the file system's limit matters.
#pragma once

#include <filesystem>
#include <string>

namespace foliomix::impress {

class ResultFile {
  public:
    // Removes what saves of ended runs left in the target's folder, then makes ours there.
    // Throws ServerError when the folder cannot be made (no such folder, no right to write).
    explicit ResultFile(std::filesystem::path target);
    // Removes our folder with everything in it.
    ~ResultFile();
    ResultFile(const ResultFile&) = delete;
    ResultFile& operator=(const ResultFile&) = delete;

    // The file the engine is to write: in our folder, with the target's extension.
    [[nodiscard]] const std::filesystem::path& EnginePath() const { return enginePath_; }
    // Renames the engine's file onto the target, replacing it in one step. Throws ServerError
    // when the engine wrote nothing or the rename fails; the target is then as it was.
    void Commit();

  private:
    std::filesystem::path target_;
    std::filesystem::path folder_;
    std::filesystem::path enginePath_;
};

// The name prefix of our save folders: ".foliomix-save-<pid>-".
[[nodiscard]] std::string SaveFolderPrefix();

}  // namespace foliomix::impress
