#include "editor/app/creplacedlg.h"

#include "editor/app/csearchhistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <Qsci/qsciscintillabase.h>

namespace {

using Sci = QsciScintillaBase;

QComboBox* MakeHistoryBox(QWidget* parent, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(30);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

QCheckBox* MakeOption(QWidget* parent, const QString& text, const char* name)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CReplaceDlg::CReplaceDlg(QsciScintillaBase* editor, CSearchHistory& findHistory,
                         CSearchHistory& replaceHistory, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_findHistory(findHistory), m_replaceHistory(replaceHistory)
{
    setWindowTitle(tr("Find & Replace"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_findBox = MakeHistoryBox(this, "findWhat");
    m_replaceBox = MakeHistoryBox(this, "replaceWith");
    m_matchCase = MakeOption(this, tr("Match case"), "matchCase");
    m_wholeWord = MakeOption(this, tr("Match whole words only"), "wholeWord");
    m_regExp = MakeOption(this, tr("Regular expressions"), "regularExpressions");
    m_inSelection = MakeOption(this, tr("Replace in selection only"), "inSelection");

    m_findNextButton = MakeButton(this, tr("Find Next"), "findNext");
    m_findNextButton->setDefault(true);
    m_findPrevButton = MakeButton(this, tr("Find Previous"), "findPrevious");
    m_replaceButton = MakeButton(this, tr("&Replace"), "replace");
    m_replaceAllButton = MakeButton(this, tr("Replace &All"), "replaceAll");
    auto* closeButton = MakeButton(this, tr("&Close"), "close");

    auto* fields = new QFormLayout;
    fields->addRow(tr("Find what:"), m_findBox);
    fields->addRow(tr("Replace with:"), m_replaceBox);

    auto* options = new QVBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(m_wholeWord);
    options->addWidget(m_regExp);
    options->addWidget(m_inSelection);
    options->addStretch();

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNextButton);
    buttons->addWidget(m_findPrevButton);
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_replaceAllButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_findNextButton, &QPushButton::clicked, this, &CReplaceDlg::FindNext);
    connect(m_findPrevButton, &QPushButton::clicked, this, &CReplaceDlg::FindPrevious);
    connect(m_replaceButton, &QPushButton::clicked, this, &CReplaceDlg::Replace);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &CReplaceDlg::ReplaceAll);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(m_inSelection, &QCheckBox::toggled, this, &CReplaceDlg::OnInSelectionToggled);
}

void CReplaceDlg::SetEditor(QsciScintillaBase* editor)
{
    m_editor = editor;
}

QColor CReplaceDlg::MatchColor()
{
    return QColor(50, 240, 50);
}

void CReplaceDlg::Fill(const QString& selectedText)
{
    m_findBox->clear();
    m_replaceBox->clear();
    const QStringList& finds = m_findHistory.Entries();
    for (auto it = finds.crbegin(); it != finds.crend(); ++it)
        m_findBox->addItem(*it);
    const QStringList& replaces = m_replaceHistory.Entries();
    for (auto it = replaces.crbegin(); it != replaces.crend(); ++it)
        m_replaceBox->addItem(*it);
    if (!selectedText.contains(QLatin1Char('\r')) && !selectedText.contains(QLatin1Char('\n'))) {
        m_findBox->setEditText(selectedText);
        m_replaceBox->setEditText(selectedText);
    } else {
        m_findBox->setEditText(QString());
        m_replaceBox->setEditText(QString());
    }
    m_findBox->setFocus();
    m_findBox->lineEdit()->selectAll();
}

int CReplaceDlg::SearchFlags() const
{
    int flags = 0;
    if (m_wholeWord->isChecked())
        flags |= Sci::SCFIND_WHOLEWORD;
    if (m_matchCase->isChecked())
        flags |= Sci::SCFIND_MATCHCASE;
    if (m_regExp->isChecked())
        flags |= Sci::SCFIND_REGEXP;
    return flags;
}

void CReplaceDlg::AddToHistory(CSearchHistory& history, QComboBox* box, const QString& text)
{
    if (history.Add(text)) {
        const QString current = box->currentText();
        box->insertItem(0, text);
        box->setEditText(current);
    }
}

bool CReplaceDlg::FindNext()
{
    return Find(true);
}

bool CReplaceDlg::FindPrevious()
{
    return Find(false);
}

bool CReplaceDlg::Find(bool forward)
{
    m_forward = forward;
    const QString text = m_findBox->currentText();
    if (!m_editor || m_inSelection->isChecked() || text.isEmpty())
        return false;
    AddToHistory(m_findHistory, m_findBox, text);

    const QByteArray needle = text.toUtf8();
    const long length = m_editor->SendScintilla(Sci::SCI_GETLENGTH);
    // A forward search starts at the caret, so a match right at the caret is
    // found; a backward one ends at the selection start, so the match just
    // before the selection is found. A target whose start lies behind its end
    // makes Scintilla search backwards.
    long from, to;
    if (forward) {
        from = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
        to = length;
    } else {
        from = m_editor->SendScintilla(Sci::SCI_GETSELECTIONSTART);
        to = 0;
    }
    m_editor->SendScintilla(Sci::SCI_SETSEARCHFLAGS, SearchFlags());
    m_editor->SendScintilla(Sci::SCI_SETTARGETSTART, from);
    m_editor->SendScintilla(Sci::SCI_SETTARGETEND, to);
    const long found = m_editor->SendScintilla(Sci::SCI_SEARCHINTARGET,
                                               static_cast<uintptr_t>(needle.size()), needle.constData());
    if (found < 0)
        return false;
    const long end = m_editor->SendScintilla(Sci::SCI_GETTARGETEND);
    m_editor->setFocus();
    m_editor->SendScintilla(Sci::SCI_SETSEL, found, end);
    m_editor->SendScintilla(Sci::SCI_SETSELBACK, 1UL, MatchColor());
    if (isVisible())
        (forward ? m_findNextButton : m_findPrevButton)->setFocus();
    return true;
}

bool CReplaceDlg::Replace()
{
    if (!m_editor)
        return false;
    const QString replacement = m_replaceBox->currentText();
    const QByteArray bytes = replacement.toUtf8();
    m_editor->SendScintilla(Sci::SCI_SETSEARCHFLAGS, SearchFlags());
    m_editor->SendScintilla(Sci::SCI_TARGETFROMSELECTION);
    // A regular-expression replacement takes its groups from the last
    // search, so the selection is matched once more to set them.
    if (m_regExp->isChecked()) {
        const QByteArray needle = m_findBox->currentText().toUtf8();
        if (!needle.isEmpty())
            m_editor->SendScintilla(Sci::SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle.size()),
                                    needle.constData());
    }
    const unsigned int message = m_regExp->isChecked() ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET;
    m_editor->SendScintilla(message, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    AddToHistory(m_replaceHistory, m_replaceBox, replacement);

    const long start = m_editor->SendScintilla(Sci::SCI_GETTARGETSTART);
    const long end = m_editor->SendScintilla(Sci::SCI_GETTARGETEND);
    m_editor->SendScintilla(Sci::SCI_GOTOPOS, m_forward ? end : start);
    if (m_forward)
        FindNext();
    else
        FindPrevious();
    if (isVisible())
        m_replaceButton->setFocus();
    return true;
}

int CReplaceDlg::ReplaceAll()
{
    const QString text = m_findBox->currentText();
    const QString replacement = m_replaceBox->currentText();
    if (!m_editor || text.isEmpty())
        return 0;
    AddToHistory(m_findHistory, m_findBox, text);
    AddToHistory(m_replaceHistory, m_replaceBox, replacement);

    const QByteArray needle = text.toUtf8();
    const QByteArray bytes = replacement.toUtf8();
    const bool inSelection = m_inSelection->isChecked();
    const unsigned int message = m_regExp->isChecked() ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET;

    long start = inSelection ? m_editor->SendScintilla(Sci::SCI_GETSELECTIONSTART) : 0;
    long end = inSelection ? m_editor->SendScintilla(Sci::SCI_GETSELECTIONEND)
                           : m_editor->SendScintilla(Sci::SCI_GETLENGTH);
    const long selectionStart = start;

    int count = 0;
    m_editor->SendScintilla(Sci::SCI_SETSEARCHFLAGS, SearchFlags());
    m_editor->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    while (start <= end) {
        m_editor->SendScintilla(Sci::SCI_SETTARGETSTART, start);
        m_editor->SendScintilla(Sci::SCI_SETTARGETEND, end);
        const long found = m_editor->SendScintilla(Sci::SCI_SEARCHINTARGET,
                                                   static_cast<uintptr_t>(needle.size()), needle.constData());
        if (found < 0)
            break;
        const long matchLength = m_editor->SendScintilla(Sci::SCI_GETTARGETEND) - found;
        const long inserted = m_editor->SendScintilla(message, static_cast<uintptr_t>(bytes.size()),
                                                      bytes.constData());
        ++count;
        end += inserted - matchLength;
        start = found + inserted;
        // An empty match (a pattern such as "^" or "x*") would be found again
        // at the same place forever: step over one character.
        if (matchLength == 0) {
            if (start >= end)
                break;
            start = m_editor->SendScintilla(Sci::SCI_POSITIONAFTER, start);
        }
    }
    m_editor->SendScintilla(Sci::SCI_ENDUNDOACTION);
    if (inSelection)
        m_editor->SendScintilla(Sci::SCI_SETSEL, selectionStart, end);
    return count;
}

void CReplaceDlg::OnInSelectionToggled(bool on)
{
    m_findNextButton->setEnabled(!on);
    m_findPrevButton->setEnabled(!on);
    m_replaceButton->setEnabled(!on);
}
