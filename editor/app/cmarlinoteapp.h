#pragma once

#include "platform/ceditorsettings.h"
#include "editor/app/crecentfilelist.h"
#include "editor/app/csearchhistory.h"
#include "editor/app/cuserfiles.h"
#include "editor/app/cwinappex.h"
#include "platform/cprofile.h"
#include "platform/editorprotocol.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class CInterpreterLink;
class CMainFrame;

// The editor application: settings, histories, keyword list, recent files
// and the start-up that reopens the files of the last run.
class CMarlinoteApp : public CWinAppEx {
    Q_OBJECT
public:
    static const char* const kInstanceName;
    static const char* const kAppTitle;
    static const char* const kOpenFilter;

    struct Options {
        // Off in tests that run several application objects in one process.
        bool singleInstance = true;
        bool showFrame = true;
        // Empty: the user list file in the application data folder.
        QString userFilesPath;
    };

    explicit CMarlinoteApp(QObject* parent = nullptr);
    CMarlinoteApp(const Options& options, QObject* parent = nullptr);
    ~CMarlinoteApp() override;

    // The one application object of the process (the last one created).
    static CMarlinoteApp* Instance();

    // The start-up: false when the files went to a running instance or the
    // frame could not be created. files are the paths of the command line.
    bool InitInstance(const QStringList& files);
    // Writes the histories and the recent-file list.
    void ExitInstance();
    // Reads section "General" and the appearance settings.
    void LoadSettings();

    const CEditorSettings& Settings() const { return m_settings; }
    void SetSettings(const CEditorSettings& settings) { m_settings = settings; }
    CProfile& Profile() { return m_profile; }

    CSearchHistory& FindHistory() { return m_findHistory; }
    CSearchHistory& ReplaceHistory() { return m_replaceHistory; }
    CRecentFileList& RecentFiles() { return m_recentFiles; }

    const QStringList& KeyWords() const { return m_keyWords; }
    void SetKeyWords(const QStringList& keyWords);
    // The interpreter's own function names, shipped with the editor.
    static QStringList BuiltInKeyWords();

    // The user list file as read at start (stored caret positions).
    const CUserFiles& UserFiles() const { return m_userFiles; }
    QString UserFilesPath() const;

    // The main program's current directory; File > Open starts there.
    const QString& CurrentPath() const { return m_currentPath; }
    void SetCurrentPath(const QString& path) { m_currentPath = path; }

    // The link with the main program; null until one is attached.
    CInterpreterLink* InterpreterLink() const { return m_link; }
    void SetInterpreterLink(CInterpreterLink* link);

    CMainFrame* MainFrame() const { return m_frame.get(); }

    // File > Open.
    void OnFileOpen();

    // The main program's request to end: comes to the front and closes the
    // frame the normal way, which asks to save changed documents. A refusal
    // is counted in the window announcement, where the main program sees it.
    // True when the frame closed.
    bool OnCloseRequest();
    static QByteArray CloseRequestText() { return EditorProtocol::EncodeClose(); }

signals:
    // Any other message of the main program (the link carries it out).
    void mainProgramMessage(const QByteArray& text);

protected:
    bool OnAnotherInstanceMessage(const QStringList& files) override;
    void OnMainProgramMessage(const QByteArray& text) override;

private:
    void ReadKeyWords();
    void ReopenLastFiles();
    // Tells the main program (through a file beside the channel) which
    // window and process to embed and wait for.
    void AnnounceWindow();
    void WithdrawWindow();

    Options m_options;
    CProfile m_profile;
    CEditorSettings m_settings;
    CSearchHistory m_findHistory{QStringLiteral("FINDSTRING")};
    CSearchHistory m_replaceHistory{QStringLiteral("REPLACESTRING")};
    CRecentFileList m_recentFiles{4};
    CUserFiles m_userFiles;
    QStringList m_keyWords;
    QString m_currentPath;
    CInterpreterLink* m_link = nullptr;
    std::unique_ptr<CMainFrame> m_frame;
    // Files handed over before the frame existed.
    QStringList m_pendingFiles;
    bool m_announced = false;
    bool m_frameClosed = false;
    int m_closeRefused = 0;
};
