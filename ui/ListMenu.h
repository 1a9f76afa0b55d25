#pragma once

#include "FileListModel.h"

#include <QMenu>

#include <functional>

class QAction;

namespace veltran {

class FileListView;

/// The file list's context menu, which holds what the designed window has no room for: "检查所选文件"
/// (enabled while an entry is selected), "检查全部文件" (while the list holds one), "按原编码转换所选文件..."
/// (while an entry is selected and a source encoding is chosen), and the ticked option
/// "改写编码声明（charset）", off at first, which runs and checks then apply.
class ListMenu : public QMenu
{
    Q_OBJECT

public:
    /// `check` is called with true for the selected entries, false for all; `convertAsSource` converts the
    /// selected entries as the chosen source, which `sourceChosen` tells is there. `files` must outlive the menu.
    ListMenu(FileListView& list, const FileListModel& files, std::function<void(bool selectedOnly)> check,
             std::function<void()> convertAsSource, std::function<bool()> sourceChosen, QWidget* parent);

    /// Whether runs and checks rewrite the charset declarations that name the source's encoding.
    bool RewriteDeclarations() const;

    QAction* CheckSelectedAction() const { return m_checkSelected; }
    QAction* CheckAllAction() const { return m_checkAll; }
    QAction* ConvertAsSourceAction() const { return m_convertAsSource; }
    QAction* DeclarationsAction() const { return m_declarations; }

private:
    QAction* m_checkSelected = nullptr;
    QAction* m_checkAll = nullptr;
    QAction* m_convertAsSource = nullptr;
    QAction* m_declarations = nullptr;
};

} // namespace veltran
