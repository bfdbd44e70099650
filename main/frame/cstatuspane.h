#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;

// One pane of the status bar: an optional 16x16 icon and a text, fixed width.
class CStatusPane : public QWidget {
    Q_OBJECT
public:
    explicit CStatusPane(int width, QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetIcon(const QIcon& icon);
    QString Text() const;
    // The key of the icon shown (for tests and for not redrawing the same).
    qint64 IconKey() const { return m_iconKey; }

private:
    QLabel* m_icon;
    QLabel* m_text;
    qint64 m_iconKey = 0;
};
