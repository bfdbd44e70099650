#pragma once

#include <QDialog>

#include <QTimer>

#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include "main/files/cfilefinder.h"

class CWorkingFolder;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The "Find Files" dialog: files named like a pattern, optionally holding a
// text, in a folder and its sub-folders. The search runs on a worker thread
// whose hits are posted to the dialog, so the window stays responsive and
// "Stop Find" works; closing stops the search before anything is destroyed.
class CGUIFindFiles : public QDialog {
    Q_OBJECT
public:
    CGUIFindFiles(CWorkingFolder& folder, const QString& programName, QWidget* parent = nullptr);
    ~CGUIFindFiles() override;

    QComboBox* NamedBox() const { return m_named; }
    QComboBox* TextBox() const { return m_text; }
    QComboBox* LookInBox() const { return m_lookIn; }
    QComboBox* TypeBox() const { return m_type; }
    QCheckBox* SubFoldersBox() const { return m_subFolders; }
    QCheckBox* FullPathBox() const { return m_fullPath; }
    QPushButton* FindButton() const { return m_find; }
    QTreeWidget* Results() const { return m_results; }
    QLabel* Status() const { return m_status; }
    bool IsSearching() const { return m_worker != nullptr || m_workerDone; }

    // Starts a search with the controls' values, or stops the running one.
    void OnFind();
    void StopSearch();

    // "line N of file PATH" for a result row.
    QString LocationOf(const QTreeWidgetItem* item) const;

signals:
    // Open the editor at a hit: "line N of file PATH".
    void openInEditorRequested(const QString& location);
    void searchFinished();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void OnLookIn(int index);
    struct Found {
        QString folder;
        QString name;
        std::vector<CFileFinder::LineHit> lines;
    };
    void Queue(unsigned serial, std::vector<Found>& found, int looked);
    void Drain();
    void Finished(unsigned serial);
    void Finish();
    void FillRemembered();
    void SetStatus();

    CWorkingFolder& m_folder;
    QString m_program;
    QComboBox* m_named = nullptr;
    QComboBox* m_text = nullptr;
    QComboBox* m_lookIn = nullptr;
    QComboBox* m_type = nullptr;
    QCheckBox* m_subFolders = nullptr;
    QCheckBox* m_fullPath = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_close = nullptr;
    QTreeWidget* m_results = nullptr;
    QLabel* m_status = nullptr;
    CFileFinder m_finder;
    std::unique_ptr<std::thread> m_worker;
    unsigned m_serial = 0;
    int m_looked = 0;
    // Hits wait here and are shown a slice at a time, so the window keeps
    // answering however fast they come.
    std::deque<Found> m_pending;
    QTimer m_drain;
    bool m_workerDone = false;
};
