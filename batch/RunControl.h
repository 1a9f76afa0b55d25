#pragma once

#include <cstddef>

namespace veltran {

/// How the host steers a run between files: the stop controls, a stop question being asked, the
/// program closing. Asked from the run's threads, one call at a time, never while a file converts.
class RunControl
{
public:
    enum class Step
    {
        Start, // start the file
        Hold,  // start nothing yet (a stop question is being asked); asked again shortly
        Stop,  // start no more files: the run ends with the stop entry naming this one
        Close, // the program is closing: the run ends before this file and writes no log
    };

    virtual ~RunControl() = default;

    /// Asked before the entry `index` starts, in list order; files already started finish either way.
    virtual Step BeforeFile(std::size_t index) = 0;
};

/// A control that always lets the next file start.
class NeverStop : public RunControl
{
public:
    Step BeforeFile(std::size_t /*index*/) override { return Step::Start; }
};

} // namespace veltran
