#pragma once

#include "FileListModel.h"

namespace veltran {

/// Removes the selected entries (invert false) or the entries that are not selected (invert true),
/// walking from the last entry to the first; the entries that stay keep their order.
void RemoveEntries(FileListModel& list, bool invert);

} // namespace veltran
