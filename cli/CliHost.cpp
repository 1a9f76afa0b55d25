#include "CliHost.h"

#include "InterruptFlag.h"

#include <csignal>

namespace veltran {

CliHost::CliHost(bool applyRules, bool writeBom, std::size_t total, ProgressBar* progress, std::ostream& err,
                 std::size_t stopAfterFiles)
    : m_applyRules(applyRules), m_writeBom(writeBom), m_total(total), m_progress(progress), m_err(err),
      m_stopAfterFiles(stopAfterFiles)
{
}

void CliHost::ShowProgress(int /*percent*/, std::size_t /*index*/)
{
    // The bar is redrawn for every file in FileStarting: it names the file, which this
    // coarser refresh would show late.
}

bool CliHost::StopRequested() const
{
    return InterruptFlag::IsSet();
}

void CliHost::SetStopRequested(bool requested)
{
    InterruptFlag::Set(requested);
}

void CliHost::FileStarting(std::size_t index, const std::filesystem::path& path)
{
    if (m_progress != nullptr)
        m_progress->Show(index, m_total, path.native());
}

void CliHost::FileFinished(std::size_t /*index*/, const std::filesystem::path& path, const ConvertResult& result)
{
    ++m_finished;
    if (!result.ok()) {
        if (m_progress != nullptr)
            m_progress->Clear();
        m_err << "veltran-cli: " << path.native() << ": " << result.message << '\n' << std::flush;
    }
    if (m_stopAfterFiles > 0 && m_finished == m_stopAfterFiles)
        std::raise(SIGINT);
}

} // namespace veltran
