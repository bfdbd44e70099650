#include "main/profiler/cprofileview.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>

#include "controls/cwebview.h"
#include "main/profiler/cprofileloader.h"
#include "main/profiler/cprofilereport.h"
#include "main/profiler/cprofilestatements.h"
#include "main/session/csessionevents.h"
#include "main/session/isessioncommands.h"

CProfileView::CProfileView(ISessionCommands& commands, CSessionEvents& events, QWidget* parent)
    : QWidget(parent), m_commands(commands), m_connected(commands.IsConnected())
{
    const std::string folder = commands.AnswerFolder();
    m_dataPath = folder + "/" + CProfileStatements::kDataFile;
    m_cleanPath = folder + "/" + CProfileStatements::kCleanFile;

    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    m_start = AddAction(QStyle::SP_MediaPlay, tr("Start the profiler"), tr("Start"), &CProfileView::OnProfileStart);
    m_code = new QComboBox(m_toolBar);
    m_code->setEditable(true);
    m_code->setInsertPolicy(QComboBox::NoInsert);
    m_code->setFixedWidth(200);
    m_code->setToolTip(tr("Run this code"));
    m_toolBar->addWidget(m_code);
    // Enter runs the code. Taken here: the line edit's returnPressed comes
    // twice, once more when the combo box hands the ignored key back to it.
    m_code->lineEdit()->installEventFilter(this);
    m_stop = AddAction(QStyle::SP_MediaStop, tr("Stop profiling"), tr("Stop"), &CProfileView::OnProfileStop);
    m_resume = AddAction(QStyle::SP_MediaSeekForward, tr("Restart profiling"), tr("Resume"),
                         &CProfileView::OnProfileResume);
    m_clear = AddAction(QStyle::SP_DialogResetButton, tr("Clear all collected profiler data"), tr("Clear"),
                        &CProfileView::OnProfileClear);
    m_toolBar->addSeparator();
    m_back = AddAction(QStyle::SP_ArrowBack, tr("Go back 1 level"), tr("Back"), &CProfileView::OnProfileBack);
    m_forward =
        AddAction(QStyle::SP_ArrowForward, tr("Go forward 1 level"), tr("Forward"), &CProfileView::OnProfileForward);
    m_home = AddAction(QStyle::SP_DirHomeIcon, tr("Goto home"), tr("Home"), &CProfileView::OnProfileHome);

    m_browser = new CWebView(this);
    m_browser->SetBeforeNavigate([this](const QUrl& url) { return OnProfileNavigate(url); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_browser, 1);

    connect(&events, &CSessionEvents::connectionChanged, this, [this](bool connected) {
        m_connected = connected;
        // A new or a gone interpreter has no profiler running.
        m_profilerOn = false;
        UpdateActions();
    });
    connect(&events, &CSessionEvents::profilerFunctionProfilingEnded, this, &CProfileView::OnProfileStop);
    connect(&events, &CSessionEvents::profilerFileReady, this, [this] { ShowProfile(-1); });

    // Without the style sheet the pages still show, unstyled.
    CWebView::SetPrivatePage(QString::fromLatin1(CProfileReport::kStyleSheetFile),
                             QString::fromStdString(CProfileReport::StyleSheet()));
    ShowPage(CProfileReport::HelpPage());
    UpdateActions();
}

bool CProfileView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_code->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnProfileStart();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QAction* CProfileView::AddAction(QStyle::StandardPixmap icon, const QString& tip, const QString& text,
                                 void (CProfileView::*slot)())
{
    QAction* action = m_toolBar->addAction(style()->standardIcon(icon), text);
    action->setToolTip(tip);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void CProfileView::OnProfileStart()
{
    const QString code = m_code->currentText();
    if (!m_commands.QueueCommand(CProfileStatements::On(), false))
        return;
    QueryStatus();
    if (code.isEmpty()) {
        m_canStop = true;
    } else {
        m_commands.QueueCommand(code.toStdString(), true);
        RunMarker(CProfileStatements::CodeEndMarker());
        m_canStop = false;
        RememberCode(code);
    }
    UpdateActions();
}

void CProfileView::OnProfileStop()
{
    if (!m_commands.QueueCommand(CProfileStatements::Off(), false))
        return;
    QueryStatus();
    ShowPage(CProfileReport::LoadingPage());
    // The dump prints small matrices it meets; they are of no use in the
    // command window.
    const std::string script = CProfileStatements::DumpScript(m_dataPath);
    if (!script.empty())
        m_commands.RunCollected(script, [](bool, const std::string&) {});
    RunMarker(CProfileStatements::FileReadyMarker());
    m_canResume = true;
    m_canClear = true;
    UpdateActions();
}

void CProfileView::OnProfileResume()
{
    if (!m_commands.QueueCommand(CProfileStatements::Resume(), false))
        return;
    QueryStatus();
    m_canResume = false;
    UpdateActions();
}

void CProfileView::OnProfileClear()
{
    if (!m_commands.QueueCommand(CProfileStatements::Clear(), false))
        return;
    m_canClear = false;
    UpdateActions();
}

void CProfileView::OnProfileBack()
{
    if (m_navigation.Back())
        ShowProfile(CProfileReport::ByTotalTime);
}

void CProfileView::OnProfileForward()
{
    if (m_navigation.Forward())
        ShowProfile(CProfileReport::ByTotalTime);
}

void CProfileView::OnProfileHome()
{
    bool moved = false;
    while (m_navigation.Back())
        moved = true;
    if (moved)
        ShowProfile(CProfileReport::ByTotalTime);
}

void CProfileView::RunMarker(const std::string& statement)
{
    // The session tells the pane of the marker line wherever it is printed;
    // collected, neither the line nor its prompt reaches the command window.
    m_commands.RunCollected(statement, [](bool, const std::string&) {});
}

void CProfileView::QueryStatus()
{
    QPointer<CProfileView> self(this);
    m_commands.RunCollected(CProfileStatements::Status(), [self](bool ok, const std::string& answer) {
        bool on = false;
        if (self && ok && CProfileStatements::ParseStatus(answer, on))
            self->OnStatus(on);
    });
}

void CProfileView::OnStatus(bool on)
{
    if (on)
        m_profileStart = QDateTime::currentDateTime();
    else if (m_profileStart.isValid())
        m_profileElapsed = m_profileStart.secsTo(QDateTime::currentDateTime());
    m_profilerOn = on;
    UpdateActions();
}

void CProfileView::RememberCode(const QString& code)
{
    if (m_code->findText(code, Qt::MatchFixedString) >= 0)
        return;
    int at = 0;
    while (at < m_code->count() && QString::compare(m_code->itemText(at), code, Qt::CaseInsensitive) <= 0)
        ++at;
    m_code->insertItem(at, code);
    m_code->setEditText(code);
}

void CProfileView::ShowProfile(int sortMode)
{
    if (sortMode == -1) {
        m_canStop = true;
        CProfileLoader::Load(m_dataPath, m_cleanPath, m_functionTable, m_cleanText);
        m_navigation.Reset();
    }
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%02lld:%02lld:%02lld", static_cast<long long>(m_profileElapsed / 3600),
                  static_cast<long long>(m_profileElapsed / 60 % 60), static_cast<long long>(m_profileElapsed % 60));
    CProfileReport::Input input;
    input.cleanText = &m_cleanText;
    input.functionTable = &m_functionTable;
    input.navigation = &m_navigation;
    input.sortMode = sortMode;
    input.startText = QLocale::c().toString(m_profileStart, QStringLiteral("dd-MMM-yyyy HH:mm:ss")).toStdString();
    input.elapsedText = elapsed;
    CProfileNodes rows;
    const std::string page = CProfileReport::Render(input, &rows);
    m_rows.swap(rows);
    ShowPage(page);
    UpdateActions();
}

bool CProfileView::OnProfileNavigate(const QUrl& url)
{
    const CProfileLink link = CProfileLink::FromUrl(url);
    if (link.kind == CProfileLink::None)
        return false;
    // The browser is still inside its navigation request: load the next page
    // once it has returned.
    QTimer::singleShot(0, this, [this, link] { ApplyLink(link); });
    return true;
}

void CProfileView::ApplyLink(const CProfileLink& link)
{
    switch (link.kind) {
    case CProfileLink::Sort:
        ShowProfile(link.sortMode);
        break;
    case CProfileLink::Back: {
        bool moved = false;
        for (int i = 0; i < link.count && m_navigation.Back(); ++i)
            moved = true;
        if (moved)
            ShowProfile(CProfileReport::ByTotalTime);
        break;
    }
    case CProfileLink::Descend:
        for (const CProfileNode& entry : m_functionTable) {
            if (entry.index == link.key) {
                m_navigation.Descend(link.key, link.description);
                ShowProfile(CProfileReport::ByTotalTime);
                break;
            }
        }
        break;
    case CProfileLink::None:
        break;
    }
}

bool CProfileView::ShowPage(const std::string& html)
{
    // A page that cannot be written leaves the browser on its previous one.
    if (!m_browser->ShowPrivatePage(QString::fromLatin1(CProfileReport::kReportFile), QString::fromStdString(html)))
        return false;
    emit pageShown();
    return true;
}

void CProfileView::UpdateActions()
{
    const bool off = !m_profilerOn;
    m_start->setEnabled(off && m_connected);
    m_stop->setEnabled(m_profilerOn && m_canStop && m_connected);
    m_resume->setEnabled(off && m_canResume && m_connected);
    m_clear->setEnabled(off && m_canClear && m_connected);
    m_back->setEnabled(off && m_navigation.CanBack());
    m_forward->setEnabled(off && m_navigation.CanForward());
    m_home->setEnabled(off && m_navigation.CanHome());
}
