#pragma once

namespace veltran {

/// The main window's state, with the values the settings store keeps.
enum class WindowState : int
{
    Normal = 0,
    Minimised = 1,
    Maximised = 2,
};

} // namespace veltran
