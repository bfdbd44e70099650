#pragma once

#include <QProcess>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

class CWebView;
class QAction;
class QToolBar;

// The comparison pane: runs kestrune-diff on two paths, shows its report,
// steps from difference to difference and turns a click on a line link of
// the report into a request for the editor. Only the report and its anchors
// are ever shown in the view.
//
// A comparison runs while the window goes on: until kestrune-diff has ended
// the view is busy, its commands are disabled and a second comparison is
// refused.
class CDiffView : public QWidget {
    Q_OBJECT
public:
    // programFolder: the folder holding kestrune-diff (the program's own
    // folder, never a system diff).
    explicit CDiffView(const QString& programFolder, QWidget* parent = nullptr);
    ~CDiffView() override;

    // Compares first and second ("unknown" twice: kestrune-diff asks for
    // them). False when nothing was started (empty first path, or busy).
    bool CompareAndShow(const QString& first, const QString& second);
    void SelectFiles();
    void CompareAgain();
    void NextDifference();
    void PreviousDifference();
    void SaveComparison();
    // Copies the report to path; false (and nothing changed) on failure.
    bool SaveComparisonTo(const QString& path);

    bool IsBusy() const { return m_process != nullptr; }
    // For a window that is about to close: false when no comparison runs (go
    // ahead). Otherwise closeAgain is called once the comparison has ended
    // and the caller should not close yet.
    bool DeferClose(std::function<void()> closeAgain);
    bool IsReportShown() const { return m_reportShown; }
    int Differences() const { return m_differences; }
    int CurrentDifference() const { return m_current; }
    QString FirstPath() const { return m_first; }
    QString SecondPath() const { return m_second; }
    QString ReportPath() const { return m_reportPath; }
    CWebView* WebView() const { return m_web; }
    QToolBar* ToolBar() const { return m_toolBar; }

signals:
    // A text for the editor program ("line 12 of file /a/b.m").
    void editorTextRequested(const QString& text, bool activate);
    // The editor pane of the main window should be shown.
    void editorPaneRequested();
    // A comparison started (true) or ended (false); a window waiting to
    // close closes on false.
    void busyChanged(bool busy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateToolBar();
    void ComparisonEnded();
    void GoToDifference();
    bool BeforeNavigate(const QUrl& url);
    void UpdateActions();
    bool HandleKey(int key);

    QString m_programFolder;
    QString m_reportPath;
    CWebView* m_web = nullptr;
    QToolBar* m_toolBar = nullptr;
    QAction* m_selectAction = nullptr;
    QAction* m_againAction = nullptr;
    QAction* m_previousAction = nullptr;
    QAction* m_nextAction = nullptr;
    QAction* m_saveAction = nullptr;
    QProcess* m_process = nullptr;

    QString m_first;
    QString m_second;
    int m_differences = 0;
    int m_current = 0;
    bool m_reportShown = false;
    std::function<void()> m_closeAgain;
};
