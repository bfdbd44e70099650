#pragma once

#include <QDialog>

class QSpinBox;

// The small dialog that takes a line or character position to go to.
class CGotoDlg : public QDialog {
    Q_OBJECT
public:
    // "Goto Line" (1-based lines) or "Goto character position" (0-based).
    enum class Kind { Line, CharacterPosition };

    CGotoDlg(Kind kind, long maximum, long current, QWidget* parent = nullptr);

    long GetValue() const;
    void SetValue(long value);

private:
    QSpinBox* m_number = nullptr;
};
