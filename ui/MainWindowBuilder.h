#pragma once

#include "MainWindowControls.h"

#include <Qt>

class QIcon;
class QWidget;

namespace veltran {

class FileListModel;
class TwipScale;

/// Widget property that marks a label which sizes itself to its caption.
inline constexpr char kAutoSizeProperty[] = "veltranAutoSize";

/// Creates the main window's controls as designed (names, captions, states, geometry, tab order) and
/// the two separator lines, as children of `window`; the list shows `files`. The link label gets its
/// font and colours here.
MainWindowControls BuildMainWindowControls(QWidget& window, const TwipScale& scale, FileListModel& files);

/// Sets the link label's text colour (blue at rest, red under the pointer).
void SetLinkColour(QWidget& link, Qt::GlobalColor colour);

/// The icon theme's "veltran" icon, as the package installs it; a drawn one when no theme has it (a run
/// from the build folder), so the program needs no resource files.
QIcon MainWindowIcon();

} // namespace veltran
