#pragma once

#include "editor/core/cinterpreterlink.h"

#include <QByteArray>
#include <QList>
#include <QProcess>

// A link that hands every statement straight to a real interpreter and waits
// for its prompt, so that a test can drive the editor's views and look at
// what the interpreter did. It keeps the answer of each statement.
class OctaveLink : public CInterpreterLink {
public:
    OctaveLink();
    ~OctaveLink() override;

    bool Started() const { return m_started; }
    // Runs one line and returns everything printed up to the next prompt.
    QByteArray Run(const QByteArray& line);
    // Breakpoints the interpreter holds, "f:4 f>g:9".
    QByteArray Breakpoints();

    bool SendToMainProgram(const QByteArray& text, bool, bool, bool) override;
    bool IsDebugMode() const override { return m_debug; }
    void RememberRequest(const QByteArray&, const QString&, CMarlinoteView*) override {}
    void RememberTooltip(const QByteArray&, const QPoint&, bool) override {}
    bool IsDescribePending() const override { return false; }
    void HideValueTooltip() override {}

    QList<QByteArray> sent;
    QList<QByteArray> answers;

private:
    QByteArray ReadToPrompt();

    QProcess m_octave;
    bool m_started = false;
    bool m_debug = false;
};
