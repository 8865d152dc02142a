#include "app/qt/leftovers_at_start.h"

#include <QDir>

#include "app/qt/scratch_settings.h"
#include "merge/impress/engine_leftovers.h"

namespace foliomix::qt {

void RemoveLeftoversOfKilledRuns() {
    impress::RemoveLeftoversOfEndedRunsInTheirFolders();
    // Where ScratchSettings makes its folders.
    impress::RemoveFoldersOfEndedRuns(QDir::tempPath().toStdU16String(),
                                      ScratchSettings::kFolderPrefix);
}

}  // namespace foliomix::qt
