#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QTextEdit>

// A read-only sample box: pieces of text, each drawn in a font (face, size,
// weight, slant, underline) and colours of its own. Line ends inside a
// piece's text start new lines.
class CFontPreview : public QTextEdit {
public:
    struct Piece {
        QString text;
        QFont font;
        QColor foreground;
        QColor background;
    };

    explicit CFontPreview(QWidget* parent = nullptr);

    // Replaces the sample.
    void SetPieces(const QList<Piece>& pieces);
};
