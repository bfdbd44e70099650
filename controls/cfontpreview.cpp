#include "controls/cfontpreview.h"

#include <QTextCharFormat>
#include <QTextCursor>

CFontPreview::CFontPreview(QWidget* parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QTextEdit::NoWrap);
}

void CFontPreview::SetPieces(const QList<Piece>& pieces)
{
    clear();
    QTextCursor cursor(document());
    for (const Piece& piece : pieces) {
        QTextCharFormat format;
        format.setFont(piece.font, QTextCharFormat::FontPropertiesAll);
        format.setForeground(piece.foreground);
        format.setBackground(piece.background);
        cursor.insertText(piece.text, format);
    }
}
