#include "FileListModel.h"

#include <algorithm>

namespace veltran {

void FileListModel::Append(const PathList& paths)
{
    if (paths.empty())
        return;
    const std::size_t first = m_entries.size();
    m_entries.reserve(first + paths.size());
    for (const std::filesystem::path& path : paths)
        m_entries.push_back({path, false});
    if (m_observer)
        m_observer->EntriesAppended(first, paths.size());
}

void FileListModel::Remove(std::vector<std::size_t> indexes)
{
    if (indexes.empty())
        return;
    std::sort(indexes.begin(), indexes.end());
    // One pass that keeps the others in order, so removing most of a long list stays cheap.
    std::size_t kept = 0;
    std::size_t next = 0;
    std::optional<std::size_t> current;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (next < indexes.size() && indexes[next] == i) {
            ++next;
            if (m_entries[i].selected)
                --m_selectedCount;
            continue;
        }
        if (m_current == i)
            current = kept;
        if (kept != i)
            m_entries[kept] = std::move(m_entries[i]);
        ++kept;
    }
    m_entries.resize(kept);
    m_current = current;
    if (m_observer)
        m_observer->EntriesRemoved();
}

void FileListModel::Clear()
{
    m_entries.clear();
    m_selectedCount = 0;
    m_current.reset();
    if (m_observer)
        m_observer->EntriesRemoved();
}

PathList FileListModel::Paths() const
{
    PathList paths;
    for (const Item& entry : m_entries)
        paths.push_back(entry.path);
    return paths;
}

void FileListModel::SetSelected(std::size_t index, bool selected)
{
    if (m_entries[index].selected == selected)
        return;
    m_entries[index].selected = selected;
    if (selected)
        ++m_selectedCount;
    else
        --m_selectedCount;
    if (m_observer)
        m_observer->SelectionChanged(index);
}

void FileListModel::DeselectAll()
{
    for (Item& entry : m_entries)
        entry.selected = false;
    m_selectedCount = 0;
    if (m_observer)
        m_observer->SelectionReset();
}

void FileListModel::SetCurrentIndex(std::optional<std::size_t> index)
{
    if (index && *index >= m_entries.size())
        index.reset();
    if (m_current == index)
        return;
    m_current = index;
    if (m_observer)
        m_observer->CurrentChanged();
}

} // namespace veltran
