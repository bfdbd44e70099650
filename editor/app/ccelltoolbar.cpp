#include "editor/app/ccelltoolbar.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

CCellToolBar::CCellToolBar(QWidget* parent) : QToolBar(tr("Cells"), parent)
{
    setObjectName("cellToolBar");
    m_step = MakeNumberBox("stepBox", QStringLiteral("1.0"));
    m_factor = MakeNumberBox("factorBox", QStringLiteral("1.1"));

    m_cells = new QComboBox(this);
    m_cells->setObjectName("cellList");
    m_cells->setFixedWidth(150);
    m_cells->addItem(QStringLiteral("Cell 1"));
    m_cells->setEnabled(false);
    connect(m_cells, QOverload<int>::of(&QComboBox::activated), this, &CCellToolBar::cellChosen);
}

QComboBox* CCellToolBar::MakeNumberBox(const char* name, const QString& text)
{
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFixedWidth(60);
    box->addItem(text);
    box->setEditText(text);
    box->lineEdit()->installEventFilter(this);
    return box;
}

double CCellToolBar::Step() const
{
    return m_step->currentText().trimmed().toDouble();
}

double CCellToolBar::Factor() const
{
    return m_factor->currentText().trimmed().toDouble();
}

void CCellToolBar::SetCells(const QStringList& names, int index)
{
    const QSignalBlocker block(m_cells);
    m_cells->clear();
    m_cells->addItems(names);
    m_cells->setCurrentIndex(index);
    m_cells->setEnabled(!names.isEmpty());
}

void CCellToolBar::SelectCell(int index)
{
    const QSignalBlocker block(m_cells);
    m_cells->setCurrentIndex(index < m_cells->count() ? index : -1);
}

void CCellToolBar::RememberText(QComboBox* box)
{
    const QString text = box->currentText();
    if (text.isEmpty() || box->findText(text, Qt::MatchFixedString) >= 0)
        return;
    box->addItem(text);
    box->model()->sort(0);
    box->setEditText(text);
}

bool CCellToolBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_step->lineEdit())
            RememberText(m_step);
        else if (watched == m_factor->lineEdit())
            RememberText(m_factor);
    }
    return QToolBar::eventFilter(watched, event);
}
