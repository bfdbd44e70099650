#include "main/console/ccompletionlist.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>

#include <algorithm>

CCompletionList::CCompletionList(QWidget* owner) : QFrame(owner), m_owner(owner), m_list(new QListWidget(this))
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("monospace")});
    font.setPixelSize(13);
    m_list->setFont(font);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    m_list->setFocusPolicy(Qt::ClickFocus);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CCompletionList::Accept);
    // The list belongs to the command line: when the keyboard goes elsewhere
    // (another pane, another window) it is no longer wanted.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isVisible() && now && now != m_owner && now != m_list)
            hide();
    });
    hide();
}

void CCompletionList::ShowAt(const QStringList& candidates, const QRect& caret)
{
    QStringList sorted = candidates;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    m_list->clear();
    int longest = 0;
    for (const QString& candidate : sorted) {
        auto* item = new QListWidgetItem(candidate, m_list);
        item->setSizeHint(QSize(0, kRowHeight));
        longest = qMax(longest, static_cast<int>(candidate.size()));
    }
    const int rows = qMin(static_cast<int>(sorted.size()), kMaxRows);
    const int charWidth = m_list->fontMetrics().horizontalAdvance(QLatin1Char('M'));
    const bool scrolls = sorted.size() > kMaxRows;
    const int scrollBar = scrolls ? m_list->verticalScrollBar()->sizeHint().width() : 0;
    const int width = charWidth * longest + 25 + scrollBar;
    const int height = kRowHeight * rows + 5;
    m_list->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);

    // Below the caret line; above it when the owner's bottom would cut the
    // list off. Kept inside the owner sideways.
    int top = caret.bottom() + 2;
    if (top + height > m_owner->height())
        top = qMax(0, caret.top() - height - 1);
    const int left = qMax(0, qMin(caret.left(), m_owner->width() - width));
    setGeometry(left, top, width, height);
    m_list->setGeometry(contentsRect());
    m_list->setCurrentRow(0);
    raise();
    show();
}

void CCompletionList::SelectPrevious()
{
    m_list->setCurrentRow(qMax(0, m_list->currentRow() - 1));
}

void CCompletionList::SelectNext()
{
    if (m_list->currentRow() + 1 < m_list->count())
        m_list->setCurrentRow(m_list->currentRow() + 1);
}

QString CCompletionList::Selected() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->text() : QString();
}

QStringList CCompletionList::Entries() const
{
    QStringList entries;
    for (int i = 0; i < m_list->count(); ++i)
        entries << m_list->item(i)->text();
    return entries;
}

void CCompletionList::Accept()
{
    const QString text = Selected();
    hide();
    m_owner->setFocus(Qt::OtherFocusReason);
    if (!text.isEmpty())
        emit accepted(text);
}

void CCompletionList::Cancel()
{
    hide();
    m_owner->setFocus(Qt::OtherFocusReason);
}

// Keys that reach the list itself, after the user clicked into it.
bool CCompletionList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_list || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Accept();
        return true;
    case Qt::Key_Escape:
        Cancel();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return false;
    default:
        break;
    }
    if (key->text().isEmpty() || !key->text().at(0).isPrint())
        return false;
    // Typing goes on in the command line, which narrows the list.
    m_owner->setFocus(Qt::OtherFocusReason);
    QKeyEvent press(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
    QApplication::sendEvent(m_owner, &press);
    QKeyEvent release(QEvent::KeyRelease, key->key(), key->modifiers(), key->text());
    QApplication::sendEvent(m_owner, &release);
    return true;
}
