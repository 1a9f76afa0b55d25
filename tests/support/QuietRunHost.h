#pragma once

#include "BatchRun.h"

namespace veltran::test {

/// A run's host that shows nothing, is never asked to stop, and keeps the per-file options fixed;
/// `closeBeforeFile` > 0 closes the program before that file (counted from 1) would start.
class QuietRunHost : public ProgressDisplay, public RunControl
{
public:
    QuietRunHost(bool applyRules, bool writeBom) : m_options(applyRules, writeBom) {}

    void ShowProgress(int, std::size_t) override {}
    Step BeforeFile(std::size_t index) override
    {
        return closeBeforeFile > 0 && index + 1 == closeBeforeFile ? Step::Close : Step::Start;
    }

    RunRoles Roles() { return {*this, *this, m_options}; }

    std::size_t closeBeforeFile = 0;

private:
    FixedFileOptions m_options;
};

} // namespace veltran::test
