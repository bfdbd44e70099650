#pragma once

#include <QIcon>
#include <QStringList>
#include <QUrl>
#include <QVector>
#include <QWidget>

#include "main/docs/cmanualsearch.h"

class CSessionEvents;
class CWebView;
class QAction;
class QCheckBox;
class QComboBox;
class QTreeWidget;

// The documentation pane: the interpreter's HTML manual in a web view, a
// search over its pages with a list of the pages found, and the pane's own
// back and forward lists. Redirect stubs of function entries are followed
// here, so they never enter the lists.
class CDocumentationView : public QWidget {
    Q_OBJECT
public:
    // manualFolder: see ManualNames::FindManualFolder (empty: no manual).
    // The view shows the index and the pages found for "index" at once.
    CDocumentationView(CSessionEvents& events, const QString& manualFolder, QWidget* parent = nullptr);

    // Opens the page of topic (a function name; empty or "Octave": the
    // index), lists the pages that mention it and asks for the pane to be
    // shown. "doc" in the command window and the main window's help box end
    // here.
    void ShowDocumentation(const QString& topic);
    // Lists the pages matching text (see ManualNames::SearchPattern).
    void Search(const QString& text);
    // Shows the page of the selected row; nothing without a selection.
    void OpenResult();

    void Back();
    void Forward();
    void Home();
    void Stop();
    void Refresh();

    // For tests: the parts a user works with.
    CWebView* WebView() const { return m_web; }
    QTreeWidget* ResultList() const { return m_results; }
    QComboBox* SearchBox() const { return m_searchBox; }
    QCheckBox* FunctionsOnlyBox() const { return m_functionsOnly; }
    QCheckBox* TitlesOnlyBox() const { return m_titlesOnly; }
    bool IsSearching() const { return m_search.IsRunning(); }
    const QStringList& BackList() const { return m_back; }
    const QStringList& ForwardList() const { return m_forward; }

signals:
    // The documentation pane should be made visible.
    void showPaneRequested();
    // A search has listed all its rows.
    void searchFinished();

private:
    void CreateParts();
    void Show(const QString& topic, bool showPane);
    void StartSearch(const QString& text, const QString& mark, bool openMark);
    void AddHits(const QVector<CManualHit>& hits);
    void SearchDone();
    void Navigate(const QUrl& url);
    // Back or forward: from's head is shown, the current page goes to to.
    void Step(QStringList& from, QStringList& to);
    bool BeforeNavigate(const QUrl& url);
    void UrlChanged(const QUrl& url);
    void UpdateActions();
    void ShowNoManual();
    QUrl IndexUrl() const;

    QString m_folder;
    CWebView* m_web = nullptr;
    QComboBox* m_searchBox = nullptr;
    QCheckBox* m_functionsOnly = nullptr;
    QCheckBox* m_titlesOnly = nullptr;
    QTreeWidget* m_results = nullptr;
    QIcon m_functionIcon;
    QIcon m_pageIcon;
    QAction* m_backAction = nullptr;
    QAction* m_forwardAction = nullptr;
    CManualSearch m_search;

    QStringList m_back;
    QStringList m_forward;
    bool m_historyMove = false;
    // The address the browser showed last.
    QUrl m_shown;

    // The row whose topic equals this text is selected when listed; with
    // m_openMark the selected row is opened once the search has ended.
    QString m_mark;
    bool m_openMark = false;
    bool m_filling = false;
};
