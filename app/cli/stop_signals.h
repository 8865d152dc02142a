// The platform's ways of asking a console program to stop, turned into a stop request
// (ProgramStopRequest) while this object lives: the merge then ends the engine and leaves
// nothing behind, where the default action would end the program on the spot.
#pragma once

namespace foliomix::cli {

class StopSignals {
  public:
    StopSignals();
    // Gives the signals back what they did before.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
};

}  // namespace foliomix::cli
