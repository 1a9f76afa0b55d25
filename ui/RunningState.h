#pragma once

#include "MainWindowControls.h"

#include <QString>

namespace veltran {

/// Puts the window into its busy state for a run or a folder scan, in this order: the list, the
/// start button, the backup and rules boxes disabled; the stop button enabled; the add, remove and
/// exit buttons disabled; `caption` in the information panel, which is shown. The encoding options,
/// the BOM box, the about button and the link keep their state.
void EnterRunningState(const MainWindowControls& controls, const QString& caption);

/// Back to idle, the same way after every run: the list, the start button, the backup and rules
/// boxes enabled; the stop button disabled; the panel hidden; the add, remove and exit buttons enabled.
void LeaveRunningState(const MainWindowControls& controls);

/// Shows `caption` in the information panel, its label sized to the text (FitInfoPanel).
void ShowInfo(const MainWindowControls& controls, const QString& caption);

/// Sizes the panel's label to its text and, where the panel is too narrow for it (a scan's count, a
/// large font), widens the panel about its centre, as far as the window allows; a panel wide enough
/// keeps its size. To be called again after the layout has given the panel its share of the window.
void FitInfoPanel(const MainWindowControls& controls);

/// The four buttons that follow the list: "开始处理", "移除选择", "反向移除" and "全部移除".
void SetListDependentEnabled(const MainWindowControls& controls, bool enabled);

} // namespace veltran
