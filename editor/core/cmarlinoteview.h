#pragma once

#include "platform/ceditorsettings.h"

#include <QByteArray>
#include <QStringList>
#include <QWidget>

#include <vector>

class CInterpreterLink;
class CMarlinoteDoc;
class CScintillaWnd;
class QTimer;

// The view of one document: the editing window in a tab, and the commands
// that make it an Octave editor. The frame's menus and tool bars call the
// public slots; the signals carry what the frame shows (status bar, cell
// list, tab label through the document).
//
// Commands that need the interpreter go through an interpreter link; without
// one (null) they do nothing and HasInterpreterLink() tells the frame to
// disable them. Breakpoint markers still toggle without a link.
class CMarlinoteView : public QWidget {
    Q_OBJECT
public:
    explicit CMarlinoteView(QWidget* parent = nullptr);
    ~CMarlinoteView() override;

    CMarlinoteDoc* GetDocument() const { return m_doc; }
    CScintillaWnd* GetEditor() const { return m_editor; }

    // Settings and keyword list; both are applied to the editing window.
    void ApplySettings(const CEditorSettings& settings);
    const CEditorSettings& GetSettings() const { return m_settings; }
    void SetKeywords(const QStringList& keywords);
    const QStringList& GetKeywords() const { return m_keywords; }

    void SetInterpreterLink(CInterpreterLink* link);
    CInterpreterLink* GetInterpreterLink() const { return m_link; }
    bool HasInterpreterLink() const { return m_link != nullptr; }
    bool IsDebugMode() const;

    // Caret position as written to and read from "FilesPositions".
    long GetCaretPosition() const;
    void RestoreCaret(long position);

    // Cells: break-line names ("cell 1" for an unnamed one), their 1-based
    // lines, and the index of the cell holding the caret (-1 above the first).
    QStringList GetCellNames();
    std::vector<int> GetCellLines();
    int GetCurrentCellIndex();

    // Breakpoint lines (1-based) and the debug line (1-based, 0 for none).
    std::vector<int> GetBreakpoints() const;
    int GetDebugLine() const { return m_debugLine; }
    // The statement that clears every breakpoint this view marks in the
    // interpreter (empty when none was sent).
    QByteArray ClearAllBreakpointsStatement() const;
    // The statement that sets every breakpoint this view marks again, for an
    // interpreter that has none (empty when there is nothing to send).
    QByteArray SetAllBreakpointsStatement() const;

    // Name of a style of the Octave lexer for the status bar ("Default" ...).
    static QString StyleName(int style);

    // Call tip of a "parameters:" answer, shown while the call whose "(" asked
    // for it is still open.
    void ShowCallTip(const QStringList& signatures);

public slots:
    // Interpreter commands (need the link).
    void ToggleBreakpoint();
    void ToggleBreakpointAtLine(int line);  // 1-based
    // The interpreter set the breakpoint asked for at line marked on line
    // used instead (0: it set none); the marker follows.
    void SetBreakpointUsed(int marked, int used);
    void RunOrContinue();
    void DebugStep();
    void DebugStepIn();
    void DebugStepOut();
    void DebugStop();
    void EvaluateSelection();
    void EvaluateCurrentCell();
    void EvaluateCurrentCellAndAdvance();
    void DescribeCommand();
    void DocumentationOfWord();
    // Debugger position from the main program (1-based); 0 removes it.
    void SetDebugLine(int line);
    // "dbended": removes every breakpoint marker and the debug marker.
    void ClearBreakpointsAndDebugLine();

    // Cells.
    void InsertCellBreak();
    void InsertCellBreaksAroundSelection();
    void NextCell();
    void PreviousCell();
    void GotoCell(int index);

    // Number near the caret; the cell is evaluated afterwards when linked.
    void IncrementValue(double step);
    void DecrementValue(double step);
    void DivideValue(double factor);
    void MultiplyValue(double factor);

    // Text.
    void Comment();
    void Uncomment();
    void Indent();
    void Unindent();

    // Display; the toggles store their setting in the profile.
    void ZoomIn();
    void ZoomOut();
    void ToggleAutoCompletion();
    void ToggleShowAllCharacters();
    void ToggleLineNumbers();
    void ToggleSelectionMargin();
    void ToggleFoldingMargin();

    // Goto: the dialogs, and the moves they make.
    void GotoCharacterPositionDialog();
    void GotoLineDialog();
    void GotoCharacterPosition(long position);
    void GotoLineNumber(long line);  // 1-based

    // Colour and font dialogs for the style at the caret.
    void ChooseStyleForeColor();
    void ChooseStyleBackColor();
    void ChooseStyleFont();

    // The component's own edit operations.
    void Undo();
    void Redo();
    void Cut();
    void Copy();
    void Paste();
    void Erase();
    void SelectAll();

signals:
    void caretPositionChanged(int line, int column, int selectionLength);
    void styleNameChanged(const QString& styleName);
    void cellListChanged(const QStringList& names, int currentIndex);
    void currentCellChanged(int index);
    // The user changed a stored setting here (zoom, completion, all
    // characters, style colours); the frame passes it to the other views.
    void settingsChanged(const CEditorSettings& settings);
    void focusReceived();
    // A command failed in a way the user must hear about (the frame shows it).
    void errorOccurred(const QString& text);
    // The text was edited; sent once shortly after a burst of edits, with the
    // new text in place (the editing window itself reports changes before
    // they happen).
    void textEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCharAdded(int ch);
    void OnUpdateUi(int updated);
    void OnModified(int position, int modificationType, const char* text, int length,
                    int linesAdded, int line, int foldNow, int foldPrev, int token,
                    int annotationLinesAdded);
    void OnMarginClick(int position, int modifiers, int margin);
    void OnZoom();
    void OnCallTipClick(int direction);
    void OnHoverWord(const QByteArray& word, const QPoint& screenPoint);

    void SmartIndent();
    void AutoComplete();
    void CallTipOnChar(int ch);
    void ChangeNumber(char operation, double operand);
    void RefreshCells(bool force);
    void StoreSetting(const char* key, int value);
    bool Send(const QByteArray& text, bool activate, bool offerStart, bool echo = true);
    QByteArray RememberFunctionName();
    std::vector<int> SentBreakpoints() const;
    // Selects the cell around the caret, without its break lines; returns the
    // line of the break after it (the line count when there is none).
    long SelectCurrentCell();
    void HighlightCallTipParameter();
    // Signature index (0-based) of the list.
    void DisplayCallTip(const QStringList& signatures, int index);
    int GetCurrentCellIndexCached() const;

    CScintillaWnd* m_editor = nullptr;
    CMarlinoteDoc* m_doc = nullptr;
    CInterpreterLink* m_link = nullptr;
    CEditorSettings m_settings;
    QStringList m_keywords;
    std::vector<QByteArray> m_keywordBytes;
    QByteArray m_keywordsJoined;
    int m_debugLine = 0;
    bool m_lineEnded = false;
    QStringList m_callTipSignatures;
    int m_callTipIndex = 0;
    int m_callTipParameter = 0;
    bool m_callTipAwaited = false;
    QByteArray m_callTipText;

    // Cell list, recomputed when the text changed.
    bool m_cellsDirty = true;
    bool m_textEdited = false;
    QTimer* m_cellTimer = nullptr;
    QStringList m_cellNames;
    std::vector<int> m_cellLines;
    int m_currentCell = -2;
    int m_lastLine = -1;
    int m_lastColumn = -1;
    int m_lastSelection = -1;
    int m_lastStyle = -1;
};
