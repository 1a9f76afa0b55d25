#pragma once

#include "PathList.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

namespace veltran {

/// The file list: full paths in the order they were added (duplicates allowed), a selected flag per
/// entry, and a current entry (the one with the focus caret) that is independent of the selection.
/// A view follows it through its Observer.
class FileListModel
{
public:
    /// Told of every change, after it has happened.
    class Observer
    {
    public:
        virtual ~Observer() = default;
        virtual void EntriesAppended(std::size_t first, std::size_t count) = 0;
        /// Entries went away (one or many, or all); the remaining ones keep their order.
        virtual void EntriesRemoved() = 0;
        virtual void SelectionChanged(std::size_t index) = 0;
        /// Every selected flag may have changed.
        virtual void SelectionReset() = 0;
        virtual void CurrentChanged() = 0;
    };

    void SetObserver(Observer* observer) { m_observer = observer; }

    /// Appends the paths at the end, unselected, in their order.
    void Append(const PathList& paths);
    /// Removes the entries at these indexes (any order, no duplicates); the others keep their order.
    /// A removed current entry leaves no current entry; a later one moves with its entry.
    void Remove(std::vector<std::size_t> indexes);
    void Clear();

    std::size_t Count() const { return m_entries.size(); }
    const std::filesystem::path& Entry(std::size_t index) const { return m_entries[index].path; }
    PathList Paths() const;

    bool IsSelected(std::size_t index) const { return m_entries[index].selected; }
    void SetSelected(std::size_t index, bool selected);
    void DeselectAll();
    std::size_t SelectedCount() const { return m_selectedCount; }

    /// The current entry, none when the list has none.
    std::optional<std::size_t> CurrentIndex() const { return m_current; }
    void SetCurrentIndex(std::optional<std::size_t> index);

private:
    struct Item
    {
        std::filesystem::path path;
        bool selected = false;
    };

    std::vector<Item> m_entries;
    std::size_t m_selectedCount = 0;
    std::optional<std::size_t> m_current;
    Observer* m_observer = nullptr;
};

} // namespace veltran
