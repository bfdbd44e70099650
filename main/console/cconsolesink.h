#pragma once

#include <QObject>
#include <QPointer>

#include "main/console/ckestruneview.h"
#include "main/session/isessionpanes.h"

// The command window as the session's console: every call arrives on a
// session thread and goes onto the view's batched cross-thread path (or is
// queued to the GUI thread); nothing here waits for the GUI thread.
class CConsoleSink : public QObject, public ISessionConsole {
    Q_OBJECT
public:
    explicit CConsoleSink(CKestruneView* view, QObject* parent = nullptr);

    void ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans, int maxLines) override;
    void ConsoleEcho(const std::string& text) override;
    void ConsoleReset(const std::string& text) override;
    void ConsoleReplace(const std::string& oldText, const std::string& newText) override;
    void ConsoleCaretToEnd() override;
    void ConsoleSetReadOnly(bool readOnly) override;
    void ConsoleSetBusy(bool busy) override;
    void Beep() override;

    // Byte offset into UTF-8 text -> character offset in the QString made of it.
    static int CharOffset(const std::string& text, std::size_t byteOffset);

private:
    // The view is only read here; it is deleted on the GUI thread after the
    // session has let go of this sink.
    CKestruneView* m_view;
    QPointer<CKestruneView> m_guiView;
};
