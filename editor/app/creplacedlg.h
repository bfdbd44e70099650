#pragma once

#include <QDialog>
#include <QPointer>

#include <Qsci/qsciscintillabase.h>

class QCheckBox;
class QComboBox;
class QPushButton;

class CSearchHistory;

// The modeless "Find & Replace" dialog, bound to one editing window. It
// searches with Scintilla's own search so that whole words, case and
// regular expressions behave exactly as in the component.
class CReplaceDlg : public QDialog {
    Q_OBJECT
public:
    CReplaceDlg(QsciScintillaBase* editor, CSearchHistory& findHistory,
                CSearchHistory& replaceHistory, QWidget* parent = nullptr);

    // Fills both lists from the histories, newest first, and puts the
    // selected text into both boxes unless it spans lines.
    void Fill(const QString& selectedText);

    void SetEditor(QsciScintillaBase* editor);
    QsciScintillaBase* Editor() const { return m_editor; }

    // The Scintilla search flags of the current options.
    int SearchFlags() const;

    QComboBox* FindBox() const { return m_findBox; }
    QComboBox* ReplaceBox() const { return m_replaceBox; }
    QCheckBox* MatchCase() const { return m_matchCase; }
    QCheckBox* WholeWord() const { return m_wholeWord; }
    QCheckBox* RegularExpression() const { return m_regExp; }
    QCheckBox* InSelection() const { return m_inSelection; }

    // The colour a found match is shown in.
    static QColor MatchColor();

public slots:
    // Each returns true when it found (or replaced) something.
    bool FindNext();
    bool FindPrevious();
    bool Replace();
    // Returns the number of replacements.
    int ReplaceAll();

private:
    void AddToHistory(CSearchHistory& history, QComboBox* box, const QString& text);
    bool Find(bool forward);
    void OnInSelectionToggled(bool on);

    QPointer<QsciScintillaBase> m_editor;
    CSearchHistory& m_findHistory;
    CSearchHistory& m_replaceHistory;
    bool m_forward = true;

    QComboBox* m_findBox = nullptr;
    QComboBox* m_replaceBox = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_regExp = nullptr;
    QCheckBox* m_inSelection = nullptr;
    QPushButton* m_findNextButton = nullptr;
    QPushButton* m_findPrevButton = nullptr;
    QPushButton* m_replaceButton = nullptr;
    QPushButton* m_replaceAllButton = nullptr;
};
