#pragma once

#include <QDateTime>
#include <QStyle>
#include <QWidget>

#include <string>

#include "main/profiler/cprofilelink.h"
#include "main/profiler/cprofilenavigation.h"
#include "main/profiler/cprofilenode.h"

class CSessionEvents;
class CWebView;
class ISessionCommands;
class QAction;
class QComboBox;
class QToolBar;
class QUrl;

// The profiler pane: a toolbar (Start, the code box, Stop, Resume, Clear,
// Back, Forward, Home) over a web view showing the report.
//
// A capture cycle: Start switches the interpreter's profiler on (and runs the
// code of the code box, which then stops it by itself); Stop switches it off
// and makes the interpreter dump profile('info') into the data file; the
// dump's marker loads it (ShowProfile(-1)) and shows the summary. Links in
// the report descend into a function, go back or sort; they are handled
// before the browser navigates and the browser's own navigation is
// cancelled.
//
// GUI thread only. The session's markers arrive as CSessionEvents signals.
class CProfileView : public QWidget {
    Q_OBJECT
public:
    CProfileView(ISessionCommands& commands, CSessionEvents& events, QWidget* parent = nullptr);

    void OnProfileStart();
    void OnProfileStop();
    void OnProfileResume();
    void OnProfileClear();
    void OnProfileBack();
    void OnProfileForward();
    void OnProfileHome();
    // -1: load the data file first, reset the navigation, then render sorted
    // by total time. Other values render the current level (CProfileReport).
    void ShowProfile(int sortMode);
    // The before-navigate hook: true when url is one of the report's links
    // (handled after the hook returns; the browser's navigation is cancelled).
    bool OnProfileNavigate(const QUrl& url);

    // The interpreter's profiler is on (from its status answer).
    bool ProfilerOn() const { return m_profilerOn; }
    const CProfileNodes& Rows() const { return m_rows; }
    const CProfileNodes& FunctionTable() const { return m_functionTable; }
    const CProfileNavigation& Navigation() const { return m_navigation; }
    const std::string& CleanText() const { return m_cleanText; }
    const std::string& DataPath() const { return m_dataPath; }
    const std::string& CleanPath() const { return m_cleanPath; }
    CWebView* Browser() const { return m_browser; }
    QComboBox* CodeBox() const { return m_code; }
    QToolBar* ToolBar() const { return m_toolBar; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A page (help, loading or report) was written and the browser sent to it.
    void pageShown();

private:
    QAction* AddAction(QStyle::StandardPixmap icon, const QString& tip, const QString& text, void (CProfileView::*slot)());
    void RunMarker(const std::string& statement);
    void QueryStatus();
    void OnStatus(bool on);
    void ApplyLink(const CProfileLink& link);
    void RememberCode(const QString& code);
    bool ShowPage(const std::string& html);
    void UpdateActions();

    ISessionCommands& m_commands;
    QToolBar* m_toolBar = nullptr;
    QComboBox* m_code = nullptr;
    CWebView* m_browser = nullptr;
    QAction* m_start = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_resume = nullptr;
    QAction* m_clear = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
    QAction* m_home = nullptr;

    std::string m_dataPath;
    std::string m_cleanPath;
    CProfileNodes m_functionTable;
    CProfileNodes m_rows;
    std::string m_cleanText;
    CProfileNavigation m_navigation;

    bool m_connected = false;
    bool m_profilerOn = false;
    bool m_canStop = true;
    bool m_canResume = false;
    bool m_canClear = false;
    QDateTime m_profileStart;
    qint64 m_profileElapsed = 0;
};
