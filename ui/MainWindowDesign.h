#pragma once

#include "TwipGeometry.h"

#include <QString>

#include <span>
#include <string_view>

namespace veltran {

enum class ControlKind
{
    Label,
    LinkLabel,
    ListBox,
    Button,
    CheckBox,
    OptionButton,
    Frame, // a captioned group box
    Panel, // a borderless frame used as an information panel
};

/// One control of the main window as designed: its geometry in twips is relative to its container
/// (the window's inner area, or the frame named by `container`).
struct ControlDesign
{
    const char* name;
    ControlKind kind;
    const char* container;   // null: the window
    const char16_t* caption; // null: none, or made in code (the link label)
    TwipRect rect;
    bool enabled = true;
    bool checked = false;
    bool visible = true;
    const char16_t* toolTip = nullptr;
};

/// The window's inner area as designed; the proportional layout's fractions are taken against it.
inline constexpr TwipSize kDesignInnerSize{7875, 5895};

/// The main window's controls in tab order.
std::span<const ControlDesign> MainWindowDesign();

/// The design of the named control; the name must be one of MainWindowDesign().
const ControlDesign& DesignOf(std::string_view name);

/// The link label's caption: maker, host with capital initials, "专业技术搜索站".
QString LinkCaption();

/// The link label's target: the maker's home page over plain HTTP with "/?tool".
QString LinkTarget();

} // namespace veltran
