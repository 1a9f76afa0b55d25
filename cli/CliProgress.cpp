#include "CliProgress.h"

#include "ShownName.h"

namespace veltran {

CliProgress::CliProgress(std::size_t total, ProgressBar* bar, std::ostream& err)
    : m_total(total), m_bar(bar), m_err(err)
{
}

void CliProgress::ShowProgress(int /*percent*/, std::size_t /*index*/)
{
    // The bar is redrawn for every file in FileStarting: it names the file, which this coarser
    // refresh would show late.
}

void CliProgress::FileStarting(std::size_t /*index*/, const std::filesystem::path& path)
{
    if (m_bar != nullptr)
        m_bar->Show(m_finished, m_total, ShownName(path.native()));
}

void CliProgress::FileFinished(std::size_t /*index*/, const std::filesystem::path& path, const Status& result)
{
    ++m_finished;
    if (!result.ok()) {
        if (m_bar != nullptr)
            m_bar->Clear();
        m_err << "veltran-cli: " << ShownName(path.native()) << ": " << ShownName(result.message) << '\n' << std::flush;
    }
}

void CliProgress::RunEnded()
{
    if (m_bar != nullptr)
        m_bar->Clear();
}

} // namespace veltran
