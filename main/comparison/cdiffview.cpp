#include "main/comparison/cdiffview.h"

#include "controls/cwebview.h"
#include "main/comparison/cdiffreportfacts.h"
#include "platform/appfolders.h"
#include "platform/ckestrunesettings.h"

#include <QAction>
#include <QChildEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace {

const char* const ReportName = "Kestrune_Diff.html";

const char* const WelcomePage =
    "<html><head><title></title><meta http-equiv=\"Content-Type\" content=\"text/html\">"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"Kestrune.css\"> </head><body bgcolor=#ffffff>"
    "<h3>Comparing Files and Folders</h3><p>The Comparison Tool helps you can to determine and display "
    "the differences between selected pairs of files or folders. The comparison process involves three "
    "steps:</p><ol type=\"1\"><li>Select the Files or Folders to Compare</li><li>Compare</li>"
    "<li>Explore the Comparison Tool Report</li></ol></body></html>";

// "unknown" asks kestrune-diff for the path; any other path goes absolute,
// so the report's links name the file whatever folder the report is in.
QString ArgumentPath(const QString& path)
{
    if (path == QLatin1String("unknown"))
        return path;
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

CDiffView::CDiffView(const QString& programFolder, QWidget* parent)
    : QWidget(parent), m_programFolder(programFolder)
{
    m_reportPath = AppFolders::PrivateTempFolder() + QLatin1Char('/') + QLatin1String(ReportName);
    CreateToolBar();
    m_web = new CWebView(this);
    m_web->SetBeforeNavigate([this](const QUrl& url) { return BeforeNavigate(url); });
    m_web->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_web, 1);
    m_web->ShowPrivatePage(QLatin1String(ReportName), QLatin1String(WelcomePage));
    UpdateActions();
}

CDiffView::~CDiffView()
{
    // The comparison (or its dialog) is ours: end it with the view.
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(3000);
    }
}

void CDiffView::CreateToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    const auto add = [this](QStyle::StandardPixmap icon, const QString& text, void (CDiffView::*slot)()) {
        QAction* action = m_toolBar->addAction(style()->standardIcon(icon), text);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_selectAction = add(QStyle::SP_DialogOpenButton, QStringLiteral("Select files"), &CDiffView::SelectFiles);
    m_againAction = add(QStyle::SP_BrowserReload, QStringLiteral("Compare again"), &CDiffView::CompareAgain);
    m_previousAction = add(QStyle::SP_ArrowUp, QStringLiteral("Previous difference"), &CDiffView::PreviousDifference);
    m_nextAction = add(QStyle::SP_ArrowDown, QStringLiteral("Next difference"), &CDiffView::NextDifference);
    m_saveAction = add(QStyle::SP_DialogSaveButton, QStringLiteral("Save comparison"), &CDiffView::SaveComparison);
    m_againAction->setToolTip(QStringLiteral("Compare again (F5)"));
}

void CDiffView::UpdateActions()
{
    const bool idle = !IsBusy();
    m_selectAction->setEnabled(idle);
    for (QAction* action : {m_againAction, m_previousAction, m_nextAction, m_saveAction})
        action->setEnabled(idle && m_reportShown);
}

bool CDiffView::CompareAndShow(const QString& first, const QString& second)
{
    if (first.isEmpty() || IsBusy())
        return false;
    m_first = first;
    m_second = second;
    m_differences = 0;
    m_current = 0;
    QFile::remove(m_reportPath);

    m_process = new QProcess(this);
    m_process->setProgram(m_programFolder + QStringLiteral("/kestrune-diff"));
    m_process->setArguments({ArgumentPath(first), ArgumentPath(second), m_reportPath});
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(m_process, &QProcess::finished, this, &CDiffView::ComparisonEnded);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ComparisonEnded();
    });
    m_process->start();
    UpdateActions();
    emit busyChanged(true);
    return true;
}

void CDiffView::ComparisonEnded()
{
    if (!m_process)
        return;
    m_process->deleteLater();
    m_process = nullptr;
    CDiffReportFacts facts;
    if (!QFileInfo::exists(m_reportPath)) {
        // Cancelled or failed: the page stays, the commands go.
        m_reportShown = false;
        m_differences = 0;
        m_current = 0;
    } else {
        if (facts.Read(m_reportPath)) {
            m_differences = facts.differences;
            m_first = facts.first;
            m_second = facts.second;
            m_reportShown = true;
        }
        m_web->load(QUrl::fromLocalFile(m_reportPath));
    }
    UpdateActions();
    emit busyChanged(false);
    if (auto closeAgain = std::exchange(m_closeAgain, nullptr))
        closeAgain();
}

bool CDiffView::DeferClose(std::function<void()> closeAgain)
{
    if (!IsBusy())
        return false;
    m_closeAgain = std::move(closeAgain);
    return true;
}

void CDiffView::SelectFiles()
{
    CompareAndShow(QStringLiteral("unknown"), QStringLiteral("unknown"));
}

void CDiffView::CompareAgain()
{
    if (m_reportShown)
        CompareAndShow(m_first, m_second);
}

void CDiffView::NextDifference()
{
    if (!m_reportShown || IsBusy() || m_differences < 1)
        return;
    m_current = m_current < m_differences ? m_current + 1 : 1;
    GoToDifference();
}

void CDiffView::PreviousDifference()
{
    if (!m_reportShown || IsBusy() || m_differences < 1)
        return;
    m_current = m_current > 1 ? m_current - 1 : m_differences;
    GoToDifference();
}

void CDiffView::GoToDifference()
{
    QUrl url = QUrl::fromLocalFile(m_reportPath);
    url.setFragment(QString::number(m_current));
    m_web->load(url);
}

void CDiffView::SaveComparison()
{
    if (!m_reportShown || IsBusy())
        return;
    QFileDialog dialog(this, QStringLiteral("Save comparison"), CKestruneSettings::fromSettings().workPath);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("html"));
    dialog.setNameFilters({QStringLiteral("HTML File (*.html *.htm)"), QStringLiteral("All Files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    if (!SaveComparisonTo(dialog.selectedFiles().constFirst()))
        QMessageBox::warning(this, QStringLiteral("Save comparison"),
                             QStringLiteral("The comparison could not be saved."));
}

bool CDiffView::SaveComparisonTo(const QString& path)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    if (target == QFileInfo(m_reportPath).absoluteFilePath())
        return true;
    // Copy beside the target first, so a failed copy leaves the old file.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(m_reportPath, partial))
        return false;
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

bool CDiffView::BeforeNavigate(const QUrl& url)
{
    const QString text = url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyDecoded);
    const int at = text.lastIndexOf(QLatin1String("fileline"));
    if (at >= 0) {
        // A line link: the report writes the path, "&nbsp;", "fileline" and the line.
        QString path = text.left(at);
        if (path.endsWith(QChar(0x00a0)))
            path.chop(1);
        bool isNumber = false;
        const int line = text.mid(at + 8).toInt(&isNumber);
        if (!isNumber || line < 0 || path.isEmpty())
            return true;
        emit editorTextRequested(QStringLiteral("line %1 of file %2").arg(line).arg(path), true);
        emit editorPaneRequested();
        return true;
    }
    return !(url.isLocalFile() && url.toLocalFile() == m_reportPath);
}

bool CDiffView::HandleKey(int key)
{
    switch (key) {
    case Qt::Key_F5:
        CompareAgain();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
        PreviousDifference();
        return true;
    case Qt::Key_Right:
    case Qt::Key_Down:
        NextDifference();
        return true;
    default:
        return false;
    }
}

bool CDiffView::eventFilter(QObject* watched, QEvent* event)
{
    // The web view's inner widget appears late; watch whatever it adds.
    if (event->type() == QEvent::ChildAdded) {
        if (QObject* child = static_cast<QChildEvent*>(event)->child(); child && child->isWidgetType())
            child->installEventFilter(this);
    } else if (event->type() == QEvent::KeyPress) {
        // The keys act, and the page still gets them.
        HandleKey(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}
