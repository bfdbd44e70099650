// Prints the time to open a 100,000-line .m file into a view with every
// setting applied, and the time per typed character with completion on over
// the full keyword list. Targets: under 1 s, under 5 ms.
#include "platform/ceditorsettings.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QStringList LoadKeywords()
{
    QFile file(QStringLiteral(KESTRUNE_SOURCE_DIR "/editor/data/keywords.txt"));
    QStringList words;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QByteArray word = line.trimmed();
            if (!word.isEmpty())
                words << QString::fromUtf8(word);
        }
    }
    return words;
}

QByteArray MakeFile(int lines)
{
    static const char* const kLines[] = {
        "%% Section of the benchmark",
        "function [a, b] = compute_values (x, y)",
        "  # compute something with numbers 12.5 and 1e-3",
        "  a = zeros (size (x)) + 3.14159 * y';",
        "  if any (a(:) > 10)",
        "    b = sprintf ('%d items', numel (a));",
        "  else",
        "    b = \"double quoted string\";",
        "  endif",
        "endfunction",
    };
    QByteArray text;
    text.reserve(lines * 40);
    for (int i = 0; i < lines; ++i) {
        text += kLines[i % 10];
        text += '\n';
    }
    return text;
}

struct Typing {
    std::size_t count = 0;
    double mean = 0;
    double median = 0;
    double p95 = 0;
    double max = 0;
};

// Types a line of code with completion-prone words at the end of the text,
// timing each key from press to the end of its event processing.
Typing TypeInto(CMarlinoteView& view, bool cancelLists)
{
    CScintillaWnd* editor = view.GetEditor();
    editor->setFocus();
    editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    const QString typed = QStringLiteral("x = dis ; y = zeros (3) ; s = str ; a = is ; ");
    std::vector<double> perChar;
    for (int round = 0; round < 5; ++round) {
        for (const QChar ch : typed) {
            QElapsedTimer one;
            one.start();
            QTest::keyClick(editor, ch.toLatin1());
            QApplication::processEvents();
            perChar.push_back(one.nsecsElapsed() / 1e6);
        }
        if (cancelLists)
            editor->SendScintilla(QsciScintillaBase::SCI_AUTOCCANCEL);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    std::sort(perChar.begin(), perChar.end());
    Typing t;
    t.count = perChar.size();
    for (double v : perChar)
        t.mean += v;
    t.mean /= perChar.size();
    t.median = perChar[perChar.size() / 2];
    t.p95 = perChar[perChar.size() * 95 / 100];
    t.max = perChar.back();
    return t;
}

void Print(const char* what, const Typing& t)
{
    std::printf("%s: %zu keys, per key mean %.3f ms, median %.3f ms, 95%% %.3f ms, max %.3f ms\n",
                what, t.count, t.mean, t.median, t.p95, t.max);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", home.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);

    const QStringList keywords = LoadKeywords();
    const QString path = home.filePath(QStringLiteral("big.m"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(MakeFile(100000)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    QElapsedTimer timer;
    timer.start();
    CMarlinoteView view;
    view.SetKeywords(keywords);
    view.ApplySettings(CEditorSettings());
    QString error;
    if (!view.GetDocument()->LoadFromFile(path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    view.resize(1000, 700);
    view.show();
    (void)QTest::qWaitForWindowExposed(&view);
    QApplication::processEvents();
    const double openMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    view.GetEditor()->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    const double lexMs = timer.nsecsElapsed() / 1e6;

    const Typing big = TypeInto(view, true);
    // The same typing in a small file, and in the large one without completion,
    // to tell the cost of the list from the cost of the file size.
    CMarlinoteView small;
    small.SetKeywords(keywords);
    small.ApplySettings(CEditorSettings());
    small.GetEditor()->SetText(MakeFile(20));
    small.resize(1000, 700);
    small.show();
    (void)QTest::qWaitForWindowExposed(&small);
    const Typing smallTyping = TypeInto(small, true);
    CEditorSettings noCompletion;
    noCompletion.autoCompleteEnabled = false;
    view.ApplySettings(noCompletion);
    const Typing plain = TypeInto(view, false);

    std::printf("keywords: %lld\n", static_cast<long long>(keywords.size()));
    std::printf("open 100000-line .m file with settings applied: %.1f ms (target < 1000 ms)\n",
                openMs);
    std::printf("full lexing of that file (not needed to open): %.1f ms\n", lexMs);
    Print("typing in the 100000-line file, completion on (target < 5 ms)", big);
    Print("typing in a 20-line file, completion on", smallTyping);
    Print("typing in the 100000-line file, completion off", plain);
    return openMs < 1000 && big.mean < 5 ? 0 : 1;
}
