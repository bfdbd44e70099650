#include "editor/app/cmarlinoteapp.h"

#include "editor/app/cfileassociation.h"

#include "editor/app/cchildframe.h"
#include "editor/core/cinterpreterlink.h"
#include "editor/app/cmainframe.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/filenamebytes.h"
#include "platform/editorprotocol.h"
#include "platform/editorwindowfile.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

// A fixed name shared by every editor process; it marks hand-over texts on
// the editor's message channel.
const char* const CMarlinoteApp::kInstanceName = "{7D3A9E41-2C6B-4F58-B1E0-94A5C8D2F613}";
const char* const CMarlinoteApp::kAppTitle = "Marlinote";
// The file filter "Octave Files (*.m)|*.m|All Files (*.*)|*.*||" in Qt's form.
const char* const CMarlinoteApp::kOpenFilter = "Octave Files (*.m);;All Files (*)";

namespace {
CMarlinoteApp* g_instance = nullptr;
}  // namespace

// The resource lives in a static library: register it before first use.
static void InitKeywordResource()
{
    Q_INIT_RESOURCE(keywords);
}

CMarlinoteApp::CMarlinoteApp(QObject* parent) : CMarlinoteApp(Options(), parent) {}

CMarlinoteApp::CMarlinoteApp(const Options& options, QObject* parent)
    : CWinAppEx(parent),
      m_options(options),
      m_profile(QString::fromLatin1(kAppTitle)),
      m_userFiles(options.userFilesPath.isEmpty() ? CUserFiles::DefaultPath() : options.userFilesPath)
{
    g_instance = this;
}

CMarlinoteApp::~CMarlinoteApp()
{
    WithdrawWindow();
    m_frame.reset();
    if (g_instance == this)
        g_instance = nullptr;
}

CMarlinoteApp* CMarlinoteApp::Instance()
{
    return g_instance;
}

QString CMarlinoteApp::UserFilesPath() const
{
    return m_userFiles.Path();
}

QStringList CMarlinoteApp::BuiltInKeyWords()
{
    InitKeywordResource();
    QFile file(QStringLiteral(":/marlinote/keywords.txt"));
    QStringList names;
    if (!file.open(QIODevice::ReadOnly))
        return names;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& line : lines) {
        const QByteArray name = line.trimmed();
        if (!name.isEmpty())
            names.append(QString::fromUtf8(name));
    }
    return names;
}

void CMarlinoteApp::SetKeyWords(const QStringList& keyWords)
{
    m_keyWords = keyWords;
    if (m_frame)
        m_frame->ApplySettingsToViews();
}

void CMarlinoteApp::SetInterpreterLink(CInterpreterLink* link)
{
    m_link = link;
}

void CMarlinoteApp::LoadSettings()
{
    m_settings.fromSettings(m_profile);
}

void CMarlinoteApp::ReadKeyWords()
{
    m_userFiles.Read();
    m_keyWords = m_userFiles.keyWords;
    if (m_keyWords.isEmpty())
        m_keyWords = BuiltInKeyWords();
}

bool CMarlinoteApp::InitInstance(const QStringList& files)
{
    m_recentFiles.Read(m_profile);

    // Paths go to another process with another working folder: make them
    // absolute first.
    QStringList absoluteFiles;
    for (const QString& file : files)
        absoluteFiles.append(QFileInfo(file).absoluteFilePath());

    if (m_options.singleInstance) {
        if (!CWinAppEx::InitInstance(QString::fromLatin1(kInstanceName), absoluteFiles))
            return false;
        // Octave script files open in this editor.
        CFileAssociation association = CFileAssociation::ForUser();
        association.SetProgram(QCoreApplication::applicationFilePath());
        association.Write();
        association.RefreshDesktopDatabase();
    }

    // The main program answers this with its list of function names.
    if (m_link)
        m_link->SendToMainProgram("completion_matches_editor", false, false, true);

    m_findHistory.Read(m_profile);
    m_replaceHistory.Read(m_profile);

    // Settings and keywords before the first view, which applies them.
    LoadSettings();
    ReadKeyWords();

    m_frame = std::make_unique<CMainFrame>(*this);
    connect(m_frame.get(), &CMainFrame::closed, this, &CWinAppEx::StopListening);
    connect(m_frame.get(), &CMainFrame::closed, this, [this] {
        m_frameClosed = true;
        WithdrawWindow();
    });

    const QList<CChildFrame*> before = [&] {
        for (const QString& file : absoluteFiles)
            m_frame->OpenDocumentFile(file);
        if (absoluteFiles.isEmpty())
            m_frame->NewDocument();
        return m_frame->Children();
    }();

    if (m_options.showFrame)
        m_frame->show();
    // Only the editor that owns the channel speaks for "the editor".
    if (IsListening())
        AnnounceWindow();

    // The first document open now is the one of the command line.
    QString commandLineFile;
    if (!absoluteFiles.isEmpty() && !before.isEmpty())
        commandLineFile = before.first()->Document()->GetPath();

    if (m_settings.reopenFiles)
        ReopenLastFiles();

    for (CChildFrame* child : before) {
        if (child->Document()->GetTitle() == QLatin1String("Untitled")) {
            m_frame->CloseDocument(child, false);
            break;
        }
    }

    if (!commandLineFile.isEmpty())
        m_frame->ActivateChild(m_frame->FindDocument(commandLineFile, Qt::CaseInsensitive));

    // Files handed over while the frame was being built.
    if (!m_pendingFiles.isEmpty()) {
        const QStringList pending = m_pendingFiles;
        m_pendingFiles.clear();
        OnAnotherInstanceMessage(pending);
    }

    // Offers to start the main program when it is not running; asked once the
    // editor runs, so that the question never holds up its start.
    if (m_link && m_settings.openOctaveStart) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_link)
                    m_link->SendToMainProgram(QByteArray(), false, true, false);
            },
            Qt::QueuedConnection);
    }
    return true;
}

void CMarlinoteApp::ReopenLastFiles()
{
    for (const QString& path : m_userFiles.openFiles) {
        if (FileNameBytes::IsFile(path) && !m_frame->FindDocument(path))
            m_frame->OpenDocumentFile(path);
    }
}

void CMarlinoteApp::ExitInstance()
{
    m_findHistory.Write(m_profile);
    m_replaceHistory.Write(m_profile);
    m_recentFiles.Write(m_profile);
    m_findHistory.Clear();
    m_replaceHistory.Clear();
}

void CMarlinoteApp::OnFileOpen()
{
    const QStringList files = QFileDialog::getOpenFileNames(m_frame.get(), tr("Open"), m_currentPath,
                                                            QString::fromLatin1(kOpenFilter));
    for (const QString& file : files)
        m_frame->OpenDocumentFile(file);
}

bool CMarlinoteApp::OnAnotherInstanceMessage(const QStringList& files)
{
    if (!m_frame) {
        m_pendingFiles += files;
        return true;
    }
    // Opened after the handler returned: the other process is released at
    // once and does not wait on a message box about a file it sent.
    QMetaObject::invokeMethod(
        this,
        [this, files] {
            if (!m_frame)
                return;
            if (!files.isEmpty()) {
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
                for (const QString& file : files)
                    m_frame->OpenDocumentFile(file);
                QGuiApplication::restoreOverrideCursor();
            }
            m_frame->BringToFront();
        },
        Qt::QueuedConnection);
    return true;
}

void CMarlinoteApp::AnnounceWindow()
{
    if (!m_frame)
        return;
    EditorWindowFile::Info info;
    info.windowId = static_cast<quint64>(m_frame->winId());
    info.pid = QCoreApplication::applicationPid();
    info.closeRefused = m_closeRefused;
    m_announced = EditorWindowFile::Write(info);
}

void CMarlinoteApp::WithdrawWindow()
{
    if (!m_announced)
        return;
    m_announced = false;
    EditorWindowFile::Remove(QCoreApplication::applicationPid());
}

void CMarlinoteApp::OnMainProgramMessage(const QByteArray& text)
{
    if (EditorProtocol::Decode(text).kind != EditorProtocol::Kind::Close) {
        emit mainProgramMessage(text);
        return;
    }
    // After the handler returned: the main program is released at once and
    // waits for the outcome on its own terms, not on the save question.
    QMetaObject::invokeMethod(this, [this] { OnCloseRequest(); }, Qt::QueuedConnection);
}

bool CMarlinoteApp::OnCloseRequest()
{
    if (!m_frame || m_frameClosed)
        return true;
    m_frame->BringToFront();
    if (m_frame->close())
        return true;
    ++m_closeRefused;
    if (m_announced)
        AnnounceWindow();
    return false;
}
