#include "PathList.h"

namespace veltran {

PathList::PathList(std::initializer_list<std::filesystem::path> paths)
{
    for (const std::filesystem::path& path : paths)
        push_back(path);
}

PathList::PathList(const std::vector<std::filesystem::path>& paths)
{
    for (const std::filesystem::path& path : paths)
        push_back(path);
}

std::string_view PathList::Native(std::size_t index) const
{
    const std::size_t start = index == 0 ? 0 : m_ends[index - 1];
    return std::string_view(m_names).substr(start, m_ends[index] - start);
}

void PathList::push_back(const std::filesystem::path& path)
{
    m_names += path.native();
    m_ends.push_back(m_names.size());
}

void PathList::Append(const PathList& other)
{
    const std::size_t offset = m_names.size();
    m_names += other.m_names;
    for (const std::size_t end : other.m_ends)
        m_ends.push_back(offset + end);
}

} // namespace veltran
