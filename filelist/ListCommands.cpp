#include "ListCommands.h"

namespace veltran {

void RemoveEntries(FileListModel& list, bool invert)
{
    std::vector<std::size_t> doomed;
    for (std::size_t i = list.Count(); i-- > 0;) {
        if (list.IsSelected(i) != invert)
            doomed.push_back(i);
    }
    list.Remove(std::move(doomed));
}

} // namespace veltran
