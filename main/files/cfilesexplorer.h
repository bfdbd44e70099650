#pragma once

#include <QList>
#include <QTreeWidget>
#include <QUrl>

#include <vector>

#include "main/files/cfilelisting.h"

// The list of the current-directory pane: "..", the sub-folders and the
// files, with drag (a file list of the dragged rows) and drop (files from
// elsewhere). The ".." row is never part of Select All, of a drag or of any
// action but Open.
class CFilesExplorer : public QTreeWidget {
    Q_OBJECT
public:
    explicit CFilesExplorer(QWidget* parent = nullptr);

    void SetFolder(const QString& folder) { m_folder = folder; }
    const QString& FolderPath() const { return m_folder; }

    // Shows entries unless they equal what is shown (then nothing changes:
    // no flicker, the selection stays). True when the rows were rebuilt.
    bool Show(const std::vector<CFileEntry>& entries);

    struct Row {
        QString name;
        bool folder = false;
    };
    // The selected rows in list order; ".." only when withParent.
    std::vector<Row> SelectedRows(bool withParent = false) const;
    QList<QUrl> SelectedUrls() const;
    QString PathOf(const QString& name) const;

    void selectAll() override;

signals:
    void filesDropped(const QList<QUrl>& urls, bool move);

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static bool IsParentRow(const QTreeWidgetItem* item);

    QString m_folder;
    std::vector<CFileEntry> m_shown;
};
