#pragma once

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace veltran {

/// A list of paths held one after another in one buffer, so that a run over a million files holds
/// little more than their names: a std::filesystem::path keeps each of its components as a path of
/// its own, about half a kilobyte for a path a few folders deep. Paths come back whole, bytes as given.
class PathList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::filesystem::path;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::filesystem::path;

        const_iterator() = default;
        const_iterator(const PathList* list, std::size_t index) : m_list(list), m_index(index) {}
        std::filesystem::path operator*() const { return (*m_list)[m_index]; }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const const_iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }

    private:
        const PathList* m_list = nullptr;
        std::size_t m_index = 0;
    };

    PathList() = default;
    PathList(std::initializer_list<std::filesystem::path> paths);
    // Implicit, so that callers holding a vector pass it as it is.
    PathList(const std::vector<std::filesystem::path>& paths); // NOLINT(google-explicit-constructor)

    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::filesystem::path operator[](std::size_t index) const { return std::filesystem::path(Native(index)); }
    std::string_view Native(std::size_t index) const;
    std::filesystem::path front() const { return (*this)[0]; }
    std::filesystem::path back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void push_back(const std::filesystem::path& path);
    void Append(const PathList& other);

    bool operator==(const PathList& other) const = default;

private:
    std::string m_names;             // every path's bytes, one after another
    std::vector<std::size_t> m_ends; // where each path ends in m_names
};

} // namespace veltran
