// What earlier runs of the program left in the temporary folders because they were killed
// (the engine's profiles and pipe sockets, the settings folders), removed when the program
// starts rather than only at the next merge. Only what belonged to processes that have ended
// goes: a second Foliomix that runs keeps everything of its own.
#pragma once

namespace foliomix::qt {

void RemoveLeftoversOfKilledRuns();

}  // namespace foliomix::qt
