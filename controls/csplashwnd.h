#pragma once

#include <QRect>
#include <QSplashScreen>

// The start-up splash: a drawn picture with one line of text ("Version " and
// the program's version) vertically centred in a fixed text area.
class CSplashWnd : public QSplashScreen {
    Q_OBJECT
public:
    explicit CSplashWnd(const QString& title, const QString& text,
                        const QRect& textArea = QRect(QPoint(320, 75), QPoint(430, 100)));

    const QString& Text() const { return m_text; }

    // Shows the splash; it closes and deletes itself after timeoutMs.
    void ShowFor(int timeoutMs);

protected:
    void drawContents(QPainter* painter) override;

private:
    static QPixmap MakePicture(const QString& title);

    QString m_text;
    QRect m_textArea;
};
