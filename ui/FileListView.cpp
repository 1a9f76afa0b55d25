#include "FileListView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

namespace veltran {

namespace {

// Sets a flag for the time of a copy between model and screen.
class Copying
{
public:
    explicit Copying(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Copying() { m_flag = false; }

private:
    bool& m_flag;
};

// The local files among dropped addresses; other addresses are not for this list.
std::vector<std::filesystem::path> LocalPaths(const QMimeData* data)
{
    std::vector<std::filesystem::path> paths;
    if (data == nullptr)
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.emplace_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

// Draws an entry as a list box does: one line of text, highlighted when selected. The item view's own
// delegate lays every line out as rich text, which made repainting the list the dearest part of a run.
class PlainLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        const int margin = option.widget ? option.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1 : 3;
        const QRect text = option.rect.adjusted(margin, 0, -margin, 0);
        // A path too long for the list loses its middle, so that its file name stays in sight; the
        // whole path is in the entry's tooltip.
        painter->drawText(
            text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle, text.width()));
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
    }
};

} // namespace

int FileListView::Rows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_model.Count());
}

QVariant FileListView::Rows::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || static_cast<std::size_t>(index.row()) >= m_model.Count())
        return {};
    // The entry keeps the name's bytes; the screen shows them decoded the way the desktop does.
    return QFile::decodeName(m_model.Entry(static_cast<std::size_t>(index.row())).c_str());
}

FileListView::FileListView(FileListModel& model, QWidget* parent) : QListView(parent), m_model(model), m_rows(model)
{
    setModel(&m_rows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true); // long lists stay quick to lay out
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setItemDelegate(new PlainLineDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    m_model.SetObserver(this);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &FileListView::OnSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &FileListView::OnCurrentChanged);
}

FileListView::~FileListView()
{
    m_model.SetObserver(nullptr);
}

void FileListView::SetTopIndex(std::size_t index)
{
    // The list scrolls by whole entries, so the scroll bar's value is the first visible entry; setting
    // it directly costs nothing, where scrollTo lays out the list each time.
    verticalScrollBar()->setValue(static_cast<int>(index));
}

bool FileListView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QListView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex entry = indexAt(help->pos());
    // Over an entry: its whole path, which the line may show shortened, above the list's own hint.
    if (entry.isValid())
        QToolTip::showText(help->globalPos(), entry.data(Qt::DisplayRole).toString() + u'\n' + toolTip(), viewport(),
                           visualRect(entry));
    else
        QToolTip::showText(help->globalPos(), toolTip(), viewport());
    return true;
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    emit keyPressed(event->key());
    QListView::keyPressEvent(event);
}

void FileListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void FileListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!LocalPaths(event->mimeData()).empty())
        event->acceptProposedAction();
}

void FileListView::dropEvent(QDropEvent* event)
{
    const std::vector<std::filesystem::path> paths = LocalPaths(event->mimeData());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    // Added once the drop is over, so that a long folder scan does not hold up the dragging program.
    QTimer::singleShot(0, this, [this, paths] { emit pathsDropped(paths); });
}

void FileListView::EntriesAppended(std::size_t first, std::size_t count)
{
    const Copying copying(m_copying);
    m_rows.Appended(static_cast<int>(first), static_cast<int>(first + count - 1));
}

void FileListView::EntriesRemoved()
{
    {
        const Copying copying(m_copying);
        m_rows.Reset();
    }
    ShowModelSelection();
    ShowModelCurrent();
}

void FileListView::SelectionChanged(std::size_t index)
{
    if (m_copying)
        return;
    const Copying copying(m_copying);
    selectionModel()->select(m_rows.index(static_cast<int>(index)),
                             m_model.IsSelected(index) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void FileListView::SelectionReset()
{
    if (!m_copying)
        ShowModelSelection();
}

void FileListView::CurrentChanged()
{
    if (!m_copying)
        ShowModelCurrent();
}

void FileListView::ShowModelSelection()
{
    const Copying copying(m_copying);
    // Runs of selected entries become one range each, so a long list is selected in few steps.
    QItemSelection selection;
    const std::size_t count = m_model.Count();
    for (std::size_t i = 0; i < count;) {
        if (!m_model.IsSelected(i)) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end + 1 < count && m_model.IsSelected(end + 1))
            ++end;
        selection.select(m_rows.index(static_cast<int>(i)), m_rows.index(static_cast<int>(end)));
        i = end + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void FileListView::ShowModelCurrent()
{
    const Copying copying(m_copying);
    const std::optional<std::size_t> current = m_model.CurrentIndex();
    selectionModel()->setCurrentIndex(current ? m_rows.index(static_cast<int>(*current)) : QModelIndex(),
                                      QItemSelectionModel::NoUpdate);
}

void FileListView::OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (m_copying)
        return;
    const Copying copying(m_copying);
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            m_model.SetSelected(static_cast<std::size_t>(row), false);
    }
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            m_model.SetSelected(static_cast<std::size_t>(row), true);
    }
}

void FileListView::OnCurrentChanged(const QModelIndex& current)
{
    if (m_copying)
        return;
    const Copying copying(m_copying);
    m_model.SetCurrentIndex(current.isValid() ? std::optional<std::size_t>(static_cast<std::size_t>(current.row()))
                                              : std::nullopt);
}

} // namespace veltran
