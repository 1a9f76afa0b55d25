#include "CliProgress.h"

#include <csignal>

namespace veltran {

CliProgress::CliProgress(std::size_t total, ProgressBar* bar, std::ostream& err, std::size_t stopAfterFiles)
    : m_total(total), m_bar(bar), m_err(err), m_stopAfterFiles(stopAfterFiles)
{
}

void CliProgress::ShowProgress(int /*percent*/, std::size_t /*index*/)
{
    // The bar is redrawn for every file in FileStarting: it names the file, which this coarser
    // refresh would show late.
}

void CliProgress::FileStarting(std::size_t index, const std::filesystem::path& path)
{
    if (m_bar != nullptr)
        m_bar->Show(index, m_total, path.native());
}

void CliProgress::FileFinished(std::size_t /*index*/, const std::filesystem::path& path, const Status& result)
{
    ++m_finished;
    if (!result.ok()) {
        if (m_bar != nullptr)
            m_bar->Clear();
        m_err << "veltran-cli: " << path.native() << ": " << result.message << '\n' << std::flush;
    }
    if (m_stopAfterFiles > 0 && m_finished == m_stopAfterFiles)
        std::raise(SIGINT);
}

void CliProgress::RunEnded()
{
    if (m_bar != nullptr)
        m_bar->Clear();
}

} // namespace veltran
