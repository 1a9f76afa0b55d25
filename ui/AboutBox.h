#pragma once

#include <QString>

namespace veltran {

class MessageBoxService;

/// ProductLine as a QString, for the window's caption and the about box.
QString ProductLineText(bool withVersion);

/// The about text: twelve lines joined by CR LF, no line break after the last.
QString AboutText();

/// The about box's title: "关于..." when it has an owner, the product line without version otherwise.
QString AboutTitle(bool hasOwner);

/// Shows the about text in an information box with the single button "关  闭" and waits for it to
/// close; `owned` makes it modal to the main window, otherwise it has no owner.
void ShowAbout(MessageBoxService& messageBox, bool owned);

} // namespace veltran
