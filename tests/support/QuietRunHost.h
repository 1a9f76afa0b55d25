#pragma once

#include "BatchRun.h"

namespace veltran::test {

/// A run's host that shows nothing, is never asked to stop, and keeps the per-file options fixed;
/// `closeBeforeFile` > 0 closes the program during the yield before that file (counted from 1).
class QuietRunHost : public ProgressDisplay, public EventPump
{
public:
    QuietRunHost(bool applyRules, bool writeBom) : m_options(applyRules, writeBom) {}

    void ShowProgress(int, std::size_t) override {}
    void FileFinished(std::size_t index, const std::filesystem::path&, const Status&) override { m_next = index + 2; }
    bool InputMayBeWaiting() override { return closeBeforeFile > 0 && m_next == closeBeforeFile; }
    void ProcessEvents() override
    {
        if (closeBeforeFile > 0 && m_next == closeBeforeFile)
            Abandon();
    }
    bool ConfirmStop() override { return true; }

    RunRoles Roles() { return {*this, *this, m_options}; }

    std::size_t closeBeforeFile = 0;

private:
    FixedFileOptions m_options;
    std::size_t m_next = 1;
};

} // namespace veltran::test
