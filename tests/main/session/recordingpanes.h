#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/ctexttools.h"
#include "main/session/coctaveredirector.h"
#include "main/session/isessionpanes.h"

// Records every call the session makes to the panes, with a model of the
// command window's text, so tests can wait for and inspect what happened.
class RecordingPanes : public ISessionPanes {
public:
    struct Write {
        std::string text;
        std::vector<CTextSpan> spans;
    };

    void ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans, int) override
    {
        Record([&] {
            writes.push_back({text, spans});
            console += text;
            calls.push_back("write:" + text);
        });
    }
    void ConsoleEcho(const std::string& text) override
    {
        Record([&] {
            console += text;
            calls.push_back("echo:" + text);
        });
    }
    void ConsoleReset(const std::string& text) override
    {
        Record([&] {
            console = text;
            calls.push_back("reset:" + text);
        });
    }
    void ConsoleReplace(const std::string& o, const std::string& n) override
    {
        Record([&] {
            CTextTools::ReplaceAll(console, o, n);
            calls.push_back("replace:" + o + "->" + n);
        });
    }
    void ConsoleCaretToEnd() override { Record([&] { calls.push_back("caret"); }); }
    void ConsoleSetReadOnly(bool r) override { Record([&] { calls.push_back(r ? "readonly" : "writable"); }); }
    void ConsoleSetBusy(bool b) override { Record([&] { calls.push_back(b ? "busy" : "notbusy"); }); }
    void Beep() override { Record([&] { calls.push_back("beep"); }); }
    void HistoryAdd(const std::string& s) override { Record([&] { history.push_back(s); }); }
    void CompletionShow(const std::vector<std::string>& m) override
    {
        Record([&] {
            completions.push_back(m);
        });
    }
    void WorkspaceRefill(const std::vector<CInfoVariable>& v) override
    {
        Record([&] {
            workspace = v;
            ++refills;
        });
    }
    void CurrentDirectoryMayHaveChanged() override { Record([&] { ++folderNotices; }); }
    void WorkspaceShow() override { Record([&] { calls.push_back("workspace"); }); }
    void VariableEditorReload() override { Record([&] { calls.push_back("editor-reload"); }); }
    void PathListPopulating() override { Record([&] { calls.push_back("path-populating"); }); }
    void PathListFill(const std::vector<std::string>& f) override
    {
        Record([&] {
            paths = f;
            ++pathFills;
        });
    }
    void PackageListPopulating() override { Record([&] { calls.push_back("package-populating"); }); }
    void PackageListFill(const std::vector<CPackageRow>& r) override
    {
        Record([&] {
            packages = r;
            ++packageFills;
        });
    }
    void ProfilerFunctionProfilingEnded() override { Record([&] { calls.push_back("profiling-ended"); }); }
    void ProfilerFileReady() override { Record([&] { calls.push_back("profile-file"); }); }
    void DocumentationShow(const std::string& t) override { Record([&] { calls.push_back("doc:" + t); }); }
    void ChangeDirectory(const std::string& d) override { Record([&] { calls.push_back("cd:" + d); }); }
    bool SendToEditor(const std::string& text, bool activate) override
    {
        Record([&] { editor.push_back(std::string(activate ? "!" : "") + text); });
        return true;
    }
    void RequestApplicationClose() override { Record([&] { calls.push_back("close"); }); }

    // Waits until predicate (called under the lock) holds.
    bool WaitFor(const std::function<bool()>& predicate, int ms = 10000)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms), predicate);
    }
    template <typename F>
    auto Locked(F f)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return f();
    }
    std::string Console()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return console;
    }

    // Fields read under the lock (Locked / WaitFor) once threads run.
    std::vector<Write> writes;
    std::vector<std::string> calls;
    std::vector<std::string> history;
    std::vector<std::vector<std::string>> completions;
    std::vector<CInfoVariable> workspace;
    int refills = 0;
    std::vector<std::string> paths;
    int pathFills = 0;
    std::vector<CPackageRow> packages;
    int packageFills = 0;
    int folderNotices = 0;
    std::vector<std::string> editor;
    std::string console;

private:
    template <typename F>
    void Record(F f)
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            f();
        }
        m_changed.notify_all();
    }
    std::mutex m_lock;
    std::condition_variable m_changed;
};

// A session without a child: what it writes is recorded, chunks are fed by
// the test.
class OfflineSession : public COctaveRedirector {
public:
    explicit OfflineSession(ISessionPanes* panes, const std::string& tempFolder = "/nonexistent-kestrune")
        : COctaveRedirector(panes)
    {
        CSessionOptions options;
        options.tempFolder = tempFolder;
        options.editorCompletionDelayMs = 0;
        SetOptions(options);
    }
    ~OfflineSession() override { StopSender(); }

    using COctaveRedirector::Dispatch;
    using COctaveRedirector::ProcessRequest;
    void FinishReading() { OnReaderFinished(0); }
    void Idle() { OnReaderIdle(); }

    std::vector<std::string> Sent()
    {
        std::lock_guard<std::mutex> lock(m_sentLock);
        return m_sent;
    }

protected:
    bool WriteToChild(const char* data, std::size_t length) override
    {
        std::lock_guard<std::mutex> lock(m_sentLock);
        m_sent.emplace_back(data, length);
        return true;
    }
    bool CanAnswer() const override { return true; }

private:
    std::mutex m_sentLock;
    std::vector<std::string> m_sent;
};
