#include "app/qt/leftovers_at_start.h"

#include <QDir>

#include "app/qt/scratch_settings.h"
#include "merge/impress/engine_leftovers.h"
#include "merge/staging/staging_platform.h"

namespace foliomix::qt {

void RemoveLeftoversOfKilledRuns() {
    impress::RemoveLeftoversOfEndedRunsInTheirFolders();
    // Where ScratchSettings makes its folders.
    staging::RemoveFoldersOfEndedRuns(QDir::tempPath().toStdU16String(),
                                      ScratchSettings::kFolderPrefix);
}

}  // namespace foliomix::qt
