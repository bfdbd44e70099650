#include "main/docs/cdocumentationview.h"

#include "controls/cwebview.h"
#include "main/docs/manualnames.h"
#include "main/session/csessionevents.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { TopicColumn = 0, FileColumn = 1 };

}  // namespace

CDocumentationView::CDocumentationView(CSessionEvents& events, const QString& manualFolder, QWidget* parent)
    : QWidget(parent), m_folder(manualFolder)
{
    CreateParts();
    connect(&events, &CSessionEvents::documentationRequested, this, &CDocumentationView::ShowDocumentation);
    connect(&m_search, &CManualSearch::found, this, &CDocumentationView::AddHits);
    connect(&m_search, &CManualSearch::finished, this, &CDocumentationView::SearchDone);
    m_web->SetBeforeNavigate([this](const QUrl& url) { return BeforeNavigate(url); });
    connect(m_web, &QWebEngineView::urlChanged, this, &CDocumentationView::UrlChanged);
    Show(QString(), false);
}

void CDocumentationView::CreateParts()
{
    auto* toolBar = new QToolBar(this);
    toolBar->setIconSize(QSize(16, 16));
    const auto add = [&](QStyle::StandardPixmap icon, const QString& text, const QString& tip,
                         void (CDocumentationView::*slot)()) {
        QAction* action = toolBar->addAction(style()->standardIcon(icon), text);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_backAction = add(QStyle::SP_ArrowBack, QStringLiteral("Back"), QStringLiteral("Go back one page"),
                       &CDocumentationView::Back);
    m_forwardAction = add(QStyle::SP_ArrowForward, QStringLiteral("Forward"),
                          QStringLiteral("Go forward one page"), &CDocumentationView::Forward);
    add(QStyle::SP_BrowserStop, QStringLiteral("Stop"), QStringLiteral("Stop"), &CDocumentationView::Stop);
    add(QStyle::SP_BrowserReload, QStringLiteral("Refresh"), QStringLiteral("Reload current page"),
        &CDocumentationView::Refresh);
    add(QStyle::SP_DirHomeIcon, QStringLiteral("Home"), QStringLiteral("Goto index page"),
        &CDocumentationView::Home);

    auto* column = new QWidget(this);
    m_searchBox = new QComboBox(column);
    m_searchBox->setEditable(true);
    m_searchBox->setInsertPolicy(QComboBox::InsertAtTop);
    m_functionsOnly = new QCheckBox(QStringLiteral("Functions only"), column);
    m_titlesOnly = new QCheckBox(QStringLiteral("Titles only"), column);
    m_results = new QTreeWidget(column);
    m_results->setColumnCount(2);
    m_results->setHeaderLabels({QStringLiteral("Topic"), QStringLiteral("File")});
    m_results->setColumnWidth(TopicColumn, 250);
    m_results->setRootIsDecorated(false);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setSortingEnabled(true);
    m_results->sortByColumn(TopicColumn, Qt::AscendingOrder);
    m_results->setUniformRowHeights(true);
    m_functionIcon = style()->standardIcon(QStyle::SP_FileIcon);
    m_pageIcon = style()->standardIcon(QStyle::SP_FileDialogContentsView);

    auto* boxes = new QHBoxLayout;
    boxes->setContentsMargins(0, 0, 0, 0);
    boxes->addWidget(m_functionsOnly);
    boxes->addWidget(m_titlesOnly);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->addWidget(m_searchBox);
    columnLayout->addLayout(boxes);
    columnLayout->addWidget(m_results, 1);

    m_web = new CWebView(this);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(column);
    splitter->addWidget(m_web);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 600});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter, 1);

    // The keys of a user who brings the pane forward go to the search box.
    setFocusProxy(m_searchBox);

    // Choosing an entry or Enter in the box opens its topic.
    connect(m_searchBox, QOverload<int>::of(&QComboBox::activated), this, [this] {
        const QString text = m_searchBox->currentText().trimmed();
        if (!text.isEmpty())
            ShowDocumentation(text);
    });
    // The two boxes exclude each other.
    connect(m_functionsOnly, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_titlesOnly->setChecked(false);
    });
    connect(m_titlesOnly, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_functionsOnly->setChecked(false);
    });
    connect(m_results, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_filling)
            OpenResult();
    });
    connect(m_results, &QTreeWidget::itemClicked, this, [this] { OpenResult(); });
    UpdateActions();
}

QUrl CDocumentationView::IndexUrl() const
{
    return QUrl::fromLocalFile(m_folder + QStringLiteral("/index.html"));
}

void CDocumentationView::ShowDocumentation(const QString& topic)
{
    Show(topic, true);
}

void CDocumentationView::Show(const QString& rawTopic, bool showPane)
{
    if (showPane)
        emit showPaneRequested();
    if (m_folder.isEmpty()) {
        ShowNoManual();
        return;
    }
    const QString topic = rawTopic.trimmed();
    if (topic.isEmpty() || topic == QLatin1String("Octave")) {
        Navigate(IndexUrl());
        StartSearch(QStringLiteral("index"), QStringLiteral("index"), false);
        return;
    }
    const QString stub = ManualNames::StubPath(m_folder, topic);
    const QUrl target = stub.isEmpty() ? QUrl() : ManualNames::StubTarget(stub);
    Navigate(target.isValid() ? target : IndexUrl());
    // The pages that link to the entry name it in its encoded form.
    QString searchText = topic;
    searchText.replace(QLatin1Char('_'), QStringLiteral("_005f"));
    // Without an entry, a page titled like the topic is opened once listed.
    StartSearch(searchText, topic, !target.isValid());
}

void CDocumentationView::Search(const QString& text)
{
    StartSearch(text, text, false);
}

void CDocumentationView::StartSearch(const QString& text, const QString& mark, bool openMark)
{
    if (text.trimmed().isEmpty() || m_folder.isEmpty())
        return;
    m_filling = true;
    m_results->clear();
    m_filling = false;
    m_mark = mark.trimmed();
    m_openMark = openMark;
    m_search.Start({m_folder, text, m_functionsOnly->isChecked(), m_titlesOnly->isChecked()});
}

void CDocumentationView::AddHits(const QVector<CManualHit>& hits)
{
    m_filling = true;
    m_results->setUpdatesEnabled(false);
    m_results->setSortingEnabled(false);
    for (const CManualHit& hit : hits) {
        auto* item = new QTreeWidgetItem(m_results, {hit.title, hit.fileName});
        item->setIcon(TopicColumn, hit.function ? m_functionIcon : m_pageIcon);
        // A function entry of that name wins over a page of that title.
        const QTreeWidgetItem* marked = m_results->currentItem();
        const bool markedFunction = marked && ManualNames::IsFunctionEntry(marked->text(FileColumn));
        if (!m_mark.isEmpty() && hit.title.compare(m_mark, Qt::CaseInsensitive) == 0 &&
            (!marked || (hit.function && !markedFunction)))
            m_results->setCurrentItem(item);
    }
    m_results->setSortingEnabled(true);
    m_results->setUpdatesEnabled(true);
    if (QTreeWidgetItem* current = m_results->currentItem())
        m_results->scrollToItem(current);
    m_filling = false;
}

void CDocumentationView::SearchDone()
{
    if (m_openMark && m_results->currentItem())
        OpenResult();
    m_openMark = false;
    emit searchFinished();
}

void CDocumentationView::OpenResult()
{
    const QTreeWidgetItem* item = m_results->currentItem();
    if (!item || m_folder.isEmpty())
        return;
    const QString fileName = item->text(FileColumn);
    const QString path = m_folder + QLatin1Char('/') + fileName;
    if (!ManualNames::IsFunctionEntry(fileName)) {
        Navigate(QUrl::fromLocalFile(path));
        return;
    }
    // A stub without a usable target shows the index.
    const QUrl target = ManualNames::StubTarget(path);
    Navigate(target.isValid() ? target : IndexUrl());
}

void CDocumentationView::Navigate(const QUrl& url)
{
    if (url.isValid())
        m_web->load(url);
}

bool CDocumentationView::BeforeNavigate(const QUrl& url)
{
    const bool historyMove = m_historyMove;
    m_historyMove = false;
    if (!url.isLocalFile()) {
        if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
            url.scheme() == QLatin1String("mailto"))
            QDesktopServices::openUrl(url);
        return url.scheme() != QLatin1String("data");
    }
    const QString name = url.fileName();
    if ((ManualNames::IsFunctionEntry(name) || ManualNames::IsFigure(name)) && !url.hasFragment()) {
        // Follow the stub here; one that cannot be read leaves the page as it
        // is. A stub left to the browser would enter the back list, and Back
        // would land on it only to be sent forward again.
        const QUrl target = ManualNames::StubTarget(url.toLocalFile());
        if (target.isValid())
            QTimer::singleShot(0, this, [this, target] { Navigate(target); });
        return true;
    }
    const QUrl current = m_web->url();
    // A click on a row both selects and clicks it: one entry is enough.
    if (!historyMove && current.isValid() && !current.isEmpty() && current != url &&
        m_back.value(0) != current.toString()) {
        m_back.prepend(current.toString());
        m_forward.clear();
    }
    UpdateActions();
    return false;
}

void CDocumentationView::UrlChanged(const QUrl& url)
{
    // A jump within the page (the manual's "See also" links point at
    // anchors of the same page) never asks before it navigates: it enters
    // the lists here.
    const QUrl previous = m_shown;
    m_shown = url;
    if (previous.isEmpty() || url == previous ||
        url.adjusted(QUrl::RemoveFragment) != previous.adjusted(QUrl::RemoveFragment))
        return;
    if (m_historyMove) {
        m_historyMove = false;
        return;
    }
    if (m_back.value(0) != previous.toString()) {
        m_back.prepend(previous.toString());
        m_forward.clear();
    }
    UpdateActions();
}

void CDocumentationView::Back()
{
    Step(m_back, m_forward);
}

void CDocumentationView::Forward()
{
    Step(m_forward, m_back);
}

void CDocumentationView::Step(QStringList& from, QStringList& to)
{
    if (from.isEmpty())
        return;
    to.prepend(m_web->url().toString());
    m_historyMove = true;
    m_web->load(QUrl(from.takeFirst()));
    UpdateActions();
}

void CDocumentationView::Home()
{
    if (!m_folder.isEmpty())
        Navigate(IndexUrl());
}

void CDocumentationView::Stop()
{
    m_web->stop();
    m_search.Stop();
}

void CDocumentationView::Refresh()
{
    m_web->reload();
}

void CDocumentationView::UpdateActions()
{
    m_backAction->setEnabled(!m_back.isEmpty());
    m_forwardAction->setEnabled(!m_forward.isEmpty());
}

void CDocumentationView::ShowNoManual()
{
    CWebView::SetPrivatePage(QStringLiteral("Kestrune_Doc.html"),
                             QStringLiteral("<html><body><p>The interpreter's HTML manual was not found. "
                                            "On Debian it comes with the package octave-doc.</p>"
                                            "</body></html>"));
    Navigate(CWebView::PrivatePageUrl(QStringLiteral("Kestrune_Doc.html")));
}
