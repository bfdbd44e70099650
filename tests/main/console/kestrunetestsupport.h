#pragma once

// Shared by the main program's widget tests: a private home for settings,
// sockets and temporary files, waiting helpers, and an answerer for the
// modal boxes the program shows.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QCheckBox>
#include <QPushButton>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace kestrunetest {

// Points every per-user location at a fresh folder; call before QApplication.
inline QString UsePrivateHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/kestrune-test-XXXXXX"));
    const QByteArray root = home.path().toUtf8();
    for (const char* sub : {"/config", "/data", "/runtime", "/tmp", "/home"})
        QDir().mkpath(QString::fromUtf8(root + sub));
    QFile::setPermissions(QString::fromUtf8(root + "/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("HOME", root + "/home", 1);
    setenv("XDG_CONFIG_HOME", root + "/config", 1);
    setenv("XDG_DATA_HOME", root + "/data", 1);
    setenv("XDG_RUNTIME_DIR", root + "/runtime", 1);
    setenv("TMPDIR", root + "/tmp", 1);
    return home.path();
}

inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

// Answers every modal message box and dialog as it appears: records the
// message text, ticks the check box when asked, and presses the button.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok, bool tick = false)
        : m_button(button), m_tick(tick)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
        m_timer.start(20);
    }

    QStringList texts;
    int dialogs = 0;
    QMessageBox::StandardButton button() const { return m_button; }
    void SetButton(QMessageBox::StandardButton button) { m_button = button; }
    void SetTick(bool tick) { m_tick = tick; }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts << box->text();
            if (m_tick && box->checkBox())
                box->checkBox()->setChecked(true);
            QAbstractButton* target = box->button(m_button);
            if (!target)
                target = box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton())
                                              : box->buttons().value(0);
            if (target)
                target->click();
            return;
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            ++dialogs;
            dialog->reject();
        }
    }

    QTimer m_timer;
    QMessageBox::StandardButton m_button;
    bool m_tick;
};

}  // namespace kestrunetest

// One main for the widget tests: a private home, then the application.
#define KESTRUNE_WIDGET_TEST_MAIN()                                        \
    int main(int argc, char** argv)                                        \
    {                                                                      \
        kestrunetest::UsePrivateHome();                                    \
        /* Widget tests run offscreen unless told otherwise. */            \
        setenv("QT_QPA_PLATFORM", "offscreen", 0);                         \
        QApplication application(argc, argv);                              \
        QApplication::setOrganizationName(QStringLiteral("Halvard"));      \
        QApplication::setApplicationName(QStringLiteral("Kestrune"));      \
        QApplication::setApplicationVersion(QStringLiteral("1.0.0"));      \
        ::testing::InitGoogleTest(&argc, argv);                            \
        return RUN_ALL_TESTS();                                            \
    }
