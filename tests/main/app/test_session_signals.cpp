// The session's effects as signals: against the real interpreter, each
// arrives on the GUI thread, in the order the session made them.
#include <QMetaMethod>
#include <QSignalSpy>
#include <QThread>

#include <mutex>

#include "main/session/csessionevents.h"
#include "tests/main/console/kestrunetestsupport.h"
#include "tests/support/csessionharness.h"

namespace {

class RecordingConsole : public ISessionConsole {
public:
    void ConsoleWrite(const std::string& text, const std::vector<CTextSpan>&, int) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_text += text;
    }
    void ConsoleEcho(const std::string&) override {}
    void ConsoleReset(const std::string&) override {}
    void ConsoleReplace(const std::string&, const std::string&) override {}
    void ConsoleCaretToEnd() override {}
    void ConsoleSetReadOnly(bool) override {}
    void ConsoleSetBusy(bool) override {}
    void Beep() override {}

    std::string Text()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_text;
    }

private:
    std::mutex m_lock;
    std::string m_text;
};

// Notes every signal of the events object by name, and any that arrives
// off the GUI thread.
class SignalLog : public QObject {
    Q_OBJECT
public:
    explicit SignalLog(CSessionEvents& events)
    {
        const QMetaObject& meta = CSessionEvents::staticMetaObject;
        const QMetaMethod note = metaObject()->method(metaObject()->indexOfSlot("Note()"));
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() != QMetaMethod::Signal)
                continue;
            spies.push_back(std::make_unique<QSignalSpy>(&events, meta.method(i)));
            connect(&events, meta.method(i), this, note);
        }
    }

    QSignalSpy& Spy(const char* name)
    {
        for (auto& spy : spies)
            if (spy->signal().startsWith(name))
                return *spy;
        throw std::runtime_error(name);
    }
    int Position(const QByteArray& name) const { return order.indexOf(name); }

    QList<QByteArray> order;
    bool offThread = false;
    std::vector<std::unique_ptr<QSignalSpy>> spies;

public slots:
    void Note()
    {
        order << sender()->metaObject()->method(senderSignalIndex()).name();
        offThread |= QThread::currentThread() != qApp->thread();
    }
};

TEST(SessionSignals, ArriveOnTheGuiThreadInOrder)
{
    RecordingConsole console;
    CSessionHarness session(&console);
    SignalLog log(session.Events());
    ASSERT_TRUE(session.Start());

    ASSERT_TRUE(session.QueueCommand("kgx = 42", true));
    ASSERT_TRUE(session.WaitIdle());
    session.RequestWorkspaceRefresh();
    ASSERT_TRUE(session.WaitIdle());
    ASSERT_TRUE(session.QueueCommand("path;###", false));
    ASSERT_TRUE(session.WaitIdle());
    ASSERT_TRUE(session.QueueCommand("completion_matches('kg')###", false));
    ASSERT_TRUE(session.WaitIdle());
    ASSERT_TRUE(kestrunetest::WaitFor([&log] { return log.Position("completionReady") >= 0; }));

    EXPECT_NE(console.Text().find("kgx = 42"), std::string::npos) << console.Text();
    EXPECT_FALSE(log.offThread);
    EXPECT_EQ(log.Spy("historyAdded").value(0).value(0).toString(), QStringLiteral("kgx = 42"));
    const auto variables = log.Spy("variablesRefilled").value(0).value(0).value<std::vector<CInfoVariable>>();
    EXPECT_TRUE(std::any_of(variables.begin(), variables.end(), [](const CInfoVariable& v) { return v.name == "kgx"; }));
    EXPECT_FALSE(log.Spy("pathListReady").value(0).value(0).toStringList().isEmpty());
    EXPECT_TRUE(log.Spy("completionReady").value(0).value(0).toStringList().contains(QStringLiteral("kgx")));

    const QList<QByteArray> expected{"historyAdded", "variablesRefilled", "pathListPopulating", "pathListReady",
                                     "completionReady"};
    for (int i = 1; i < expected.size(); ++i)
        EXPECT_LT(log.Position(expected[i - 1]), log.Position(expected[i])) << log.order.join(' ').toStdString();
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()

#include "test_session_signals.moc"
