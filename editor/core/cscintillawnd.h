#pragma once

#include <QKeySequence>
#include <QList>

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QString>

#include <string>

class CEditorSettings;

// The editing window: a thin host around the Scintilla component. Every
// setting is one Scintilla message sent from ApplySettings, in a fixed order;
// the wrappers below are one message each. The text is bytes (UTF-8).
class CScintillaWnd : public QsciScintilla {
    Q_OBJECT
public:
    // Scintilla's own line-end modes (SC_EOL_*).
    enum class LineEnd { CrLf = 0, Cr = 1, Lf = 2 };

    // The markers the views use.
    static constexpr int BreakpointMarker = 0;
    static constexpr int DebugMarker = 1;
    // Margins: line numbers, selection (breakpoints), folding.
    static constexpr int LineNumberMargin = 0;
    static constexpr int SelectionMargin = 1;
    static constexpr int FoldingMargin = 2;

    explicit CScintillaWnd(QWidget* parent = nullptr);

    // Applies every appearance setting. keywords is the keyword list joined
    // with single blanks (keyword set 0 of the lexer).
    void ApplySettings(const CEditorSettings& settings, const QByteArray& keywords);

    // Takes these keys away from the component's own key map, so that the
    // window's commands on them run instead of the component's (its Ctrl+T
    // swaps two lines, its Ctrl+] moves by paragraph).
    void ReleaseKeys(const QList<QKeySequence>& keys);

    // The line-end style that new lines get; ApplySettings keeps it.
    void SetLineEnd(LineEnd mode);
    LineEnd GetLineEnd() const { return m_lineEnd; }

    // Reads the file's bytes unchanged into the window, picks the lexer from
    // the extension and the line-end style from the first line end of the
    // file (LF when it has none). Empties the undo buffer and sets the save
    // point. False with *error set when the file cannot be read; the text is
    // then left as it was.
    bool LoadFromFile(const QString& path, QString* error = nullptr);
    // Writes the text unchanged, all or nothing (a failed write leaves the old
    // file as it was). Sets the save point on success.
    bool SaveToFile(const QString& path, QString* error = nullptr);

    // The Scintilla lexer for a file extension (without the dot); the Octave
    // lexer (54) for an unknown one.
    static int LexerForExtension(const std::string& extension);
    // The lexer of the loaded file; ApplySettings keeps it (Octave by default).
    int GetLexer() const { return m_lexer; }

    // The word around position: letters, digits, "_" and "."; with numeric
    // true the word characters are "0123456789.-" instead.
    // *start and *end (when given) receive the word's range.
    QByteArray GetWordAt(long position, bool numeric, long* start = nullptr, long* end = nullptr);

    // One-message wrappers.
    QByteArray GetText();
    void SetText(const QByteArray& text);
    long GetLength();
    long GetLineCount();
    QByteArray GetLine(long line);  // 0-based, with its line end
    QByteArray GetSelectedText();
    void GotoLine(long line);  // 0-based
    void GotoPosition(long position);
    long GetCurrentPosition();
    long GetAnchor();
    long LineFromPosition(long position);
    long PositionFromLine(long line);
    long GetLineEndPosition(long line);
    int GetLineIndentation(long line);
    void SetLineIndentation(long line, int indentation);
    long GetLineIndentPosition(long line);
    int MarkerAdd(long line, int marker);
    void MarkerDelete(long line, int marker);
    void MarkerDeleteAll(int marker);
    long MarkerNext(long fromLine, int markerMask);
    long MarkerPrevious(long fromLine, int markerMask);
    int MarkersOfLine(long line);
    // Finds text between from and to (to < from searches backwards); returns
    // the match start or -1, and the match end in *matchEnd.
    long FindText(int flags, long from, long to, const QByteArray& text, long* matchEnd = nullptr);
    void SetSelection(long anchor, long caret);
    void SetTargetStart(long position);
    void SetTargetEnd(long position);
    long ReplaceTarget(const QByteArray& text);
    long SearchInTarget(const QByteArray& text);
    int GetStyleAt(long position);
    int GetZoom();

    // Margins: line numbers are as wide as the digits of the line count plus
    // one; the selection and folding margins 16 pixels; 0 hides a margin.
    void ShowLineNumbers(bool show);
    void ShowSelectionMargin(bool show);
    void ShowFoldingMargin(bool show);
    bool IsLineNumbersShown() const { return m_lineNumbers; }
    bool IsSelectionMarginShown() const { return m_selectionMargin; }
    bool IsFoldingMarginShown() const { return m_foldingMargin; }

    // Shows blanks and line ends, or hides them.
    void ShowAllCharacters(bool show);

signals:
    // The mouse rested 400 ms over word (trimmed, not empty) at screenPoint.
    void hoverWord(const QByteArray& word, const QPoint& screenPoint);
    void hoverEnded();
    // Right click: the component's own menu is off; the view shows its own.
    void contextMenuWanted(const QPoint& globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void OnDwellStart(int position, int x, int y);
    void UpdateLineNumberWidth();

    LineEnd m_lineEnd = LineEnd::Lf;
    int m_lexer = SCLEX_OCTAVE;
    bool m_lineNumbers = false;
    bool m_selectionMargin = false;
    bool m_foldingMargin = false;
    // The user moved in the open completion list: Enter takes that name.
    bool m_completionPicked = false;
    QPoint m_lastHoverPoint{-1, -1};
    long m_lineNumberDigits = 0;
};
