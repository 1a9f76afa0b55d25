#pragma once

#include "FileListModel.h"

#include <QAbstractListModel>
#include <QListView>

#include <filesystem>
#include <vector>

namespace veltran {

/// The file list on the screen: a view of a FileListModel with extended selection. The user's
/// clicks change the model's selection and current entry, and the model's changes show here.
class FileListView : public QListView, private FileListModel::Observer
{
    Q_OBJECT

public:
    /// `model` must outlive the view.
    FileListView(FileListModel& model, QWidget* parent);
    ~FileListView() override;

    /// Scrolls so that the entry is the first visible line, where the list can scroll that far.
    void SetTopIndex(std::size_t index);

signals:
    /// A double-click anywhere on the list.
    void doubleClicked();
    /// A key pressed in the list; the list handles it as usual as well.
    void keyPressed(int key);
    /// Local files or folders dropped onto the list, in the order given.
    void pathsDropped(const std::vector<std::filesystem::path>& paths);

protected:
    /// The tooltip over an entry is its whole path and the list's own hint; elsewhere the hint alone.
    bool viewportEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Rows : public QAbstractListModel
    {
    public:
        explicit Rows(const FileListModel& model) : m_model(model) {}
        int rowCount(const QModelIndex& parent = QModelIndex()) const override;
        QVariant data(const QModelIndex& index, int role) const override;
        void Reset()
        {
            beginResetModel();
            endResetModel();
        }
        void Appended(int first, int last)
        {
            beginInsertRows(QModelIndex(), first, last);
            endInsertRows();
        }

    private:
        const FileListModel& m_model;
    };

    void EntriesAppended(std::size_t first, std::size_t count) override;
    void EntriesRemoved() override;
    void SelectionChanged(std::size_t index) override;
    void SelectionReset() override;
    void CurrentChanged() override;

    // The user's gestures, copied into the model.
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnCurrentChanged(const QModelIndex& current);
    // The model's selection and current entry, copied onto the screen.
    void ShowModelSelection();
    void ShowModelCurrent();

    FileListModel& m_model;
    Rows m_rows;
    bool m_copying = false; // a change is being copied one way; its echo must not come back
};

} // namespace veltran
