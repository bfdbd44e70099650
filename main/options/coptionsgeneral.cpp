#include "main/options/coptionsgeneral.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "main/options/coptionsnumber.h"
#include "platform/ckestrunesettings.h"

namespace {
QGroupBox* Group(const QString& title, std::initializer_list<QWidget*> widgets, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    return group;
}
}  // namespace

COptionsGeneral::COptionsGeneral(CKestruneSettings& settings, QWidget* parent)
    : CPropertyPage(parent)
    , m_settings(settings)
    , m_autoUpdate(new QCheckBox(QStringLiteral("Automatically check for updates"), this))
    , m_clearWindow(new QCheckBox(QStringLiteral("Warn before clearing the Command Window"), this))
    , m_clearHistory(new QCheckBox(QStringLiteral("Warn before deleting Command History items"), this))
    , m_clearVariables(new QCheckBox(QStringLiteral("Confirm when deleting Variables"), this))
    , m_confirmExit(new QCheckBox(QStringLiteral("Confirm disconnect before exiting"), this))
    , m_beep(new QCheckBox(QStringLiteral("Play a beep on errors"), this))
    , m_maxLines(new COptionsNumber(1, 1000000, this))
    , m_maxDirs(new COptionsNumber(1, 1000, this))
    , m_maxHist(new COptionsNumber(1, 1000000, this))
{
    m_maxLines->setObjectName(QStringLiteral("maxLines"));
    m_maxDirs->setObjectName(QStringLiteral("maxDirs"));
    m_maxHist->setObjectName(QStringLiteral("maxHist"));

    auto* lines = new QWidget(this);
    auto* linesRow = new QFormLayout(lines);
    linesRow->addRow(QStringLiteral("Number of lines in command window:"), m_maxLines);

    auto* dirs = new QWidget(this);
    auto* dirsRow = new QHBoxLayout(dirs);
    auto* clearAll = new QPushButton(QStringLiteral("Clear All"), dirs);
    dirsRow->addWidget(new QLabel(QStringLiteral("Save most recent"), dirs));
    dirsRow->addWidget(m_maxDirs);
    dirsRow->addWidget(new QLabel(QStringLiteral("directories"), dirs));
    dirsRow->addStretch();
    dirsRow->addWidget(clearAll);
    connect(clearAll, &QPushButton::clicked, this, &COptionsGeneral::clearWorkingPaths);

    auto* hist = new QWidget(this);
    auto* histRow = new QFormLayout(hist);
    histRow->addRow(QStringLiteral("Max. history lines:"), m_maxHist);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group(QStringLiteral("Auto-update"), {m_autoUpdate}, this));
    layout->addWidget(Group(QStringLiteral("Messages"),
                            {m_clearWindow, m_clearHistory, m_clearVariables, m_confirmExit, m_beep}, this));
    layout->addWidget(Group(QStringLiteral("Command Window"), {lines}, this));
    layout->addWidget(Group(QStringLiteral("Current Directory"), {dirs}, this));
    layout->addWidget(Group(QStringLiteral("History Window"), {hist}, this));
    layout->addStretch();
}

void COptionsGeneral::Load()
{
    m_autoUpdate->setChecked(m_settings.autoUpdate);
    m_clearWindow->setChecked(m_settings.confirmClearWindow);
    m_clearHistory->setChecked(m_settings.confirmClearHistory);
    m_clearVariables->setChecked(m_settings.confirmClearVariables);
    m_confirmExit->setChecked(m_settings.confirmExit);
    m_beep->setChecked(m_settings.beepOnErrors);
    m_maxLines->SetValue(m_settings.maxLines);
    m_maxDirs->SetValue(m_settings.maxDirs);
    m_maxHist->SetValue(m_settings.maxHist);
}

bool COptionsGeneral::Apply()
{
    m_settings.autoUpdate = m_autoUpdate->isChecked();
    m_settings.confirmClearWindow = m_clearWindow->isChecked();
    m_settings.confirmClearHistory = m_clearHistory->isChecked();
    m_settings.confirmClearVariables = m_clearVariables->isChecked();
    m_settings.confirmExit = m_confirmExit->isChecked();
    m_settings.beepOnErrors = m_beep->isChecked();
    m_settings.maxLines = m_maxLines->Value();
    m_settings.maxDirs = m_maxDirs->Value();
    m_settings.maxHist = m_maxHist->Value();
    return true;
}
