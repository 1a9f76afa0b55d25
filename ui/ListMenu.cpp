#include "ListMenu.h"

#include "FileListView.h"
#include "TrustedRun.h"

namespace veltran {

ListMenu::ListMenu(FileListView& list, const FileListModel& files, std::function<void(bool selectedOnly)> check,
                   std::function<void()> convertAsSource, std::function<bool()> sourceChosen, QWidget* parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("mnuList"));
    m_checkSelected = addAction(QStringLiteral("检查所选文件"), this, [check] { check(true); });
    m_checkAll = addAction(QStringLiteral("检查全部文件"), this, [check] { check(false); });
    addSeparator();
    m_convertAsSource =
        addAction(QString::fromUtf8(kConvertAsSourceCommand) + QStringLiteral("..."), this, std::move(convertAsSource));
    addSeparator();
    m_declarations = addAction(QStringLiteral("改写编码声明（charset）"));
    m_declarations->setObjectName(QStringLiteral("mnuDeclarations"));
    m_declarations->setCheckable(true);
    connect(this, &QMenu::aboutToShow, this, [this, &files, sourceChosen = std::move(sourceChosen)] {
        m_checkSelected->setEnabled(files.SelectedCount() > 0);
        m_checkAll->setEnabled(files.Count() > 0);
        m_convertAsSource->setEnabled(files.SelectedCount() > 0 && sourceChosen());
    });
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&list, &QWidget::customContextMenuRequested, this,
            [this, &list](const QPoint& at) { popup(list.viewport()->mapToGlobal(at)); });
}

bool ListMenu::RewriteDeclarations() const
{
    return m_declarations->isChecked();
}

} // namespace veltran
