#include "main/options/coptionsoctave.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/cmessagebox.h"
#include "main/session/cstartupconfig.h"
#include "platform/ckestrunesettings.h"

COptionsOctave::COptionsOctave(CKestruneSettings& settings, QWidget* parent)
    : CPropertyPage(parent)
    , m_settings(settings)
    , m_folder(new QLineEdit(this))
    , m_autoStart(new QCheckBox(QStringLiteral("Autoconnect at startup"), this))
{
    m_folder->setObjectName(QStringLiteral("octaveFolder"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, QStringLiteral("GNU Octave Executable Files Directory"), m_folder->text());
        if (!folder.isEmpty())
            m_folder->setText(QDir::toNativeSeparators(QDir::cleanPath(folder)));
    });
    auto* group = new QGroupBox(QStringLiteral("GNU Octave Executable Files Directory:"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    row->addWidget(browse);
    auto* inner = new QVBoxLayout(group);
    inner->addLayout(row);
    inner->addWidget(new QLabel(QStringLiteral("(e.g. /usr/bin)"), group));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_autoStart);
    layout->addStretch();
}

QString COptionsOctave::MissingMessage(const QString& folder)
{
    return QStringLiteral("octave does not exist in path\n") + folder;
}

void COptionsOctave::Load()
{
    const QString folder =
        m_settings.octavePath.isEmpty() ? CStartupConfig::DefaultOctaveFolder() : m_settings.octavePath;
    m_folder->setText(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath()));
    m_autoStart->setChecked(m_settings.autoStart);
}

bool COptionsOctave::Apply()
{
    m_settings.autoStart = m_autoStart->isChecked();
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(m_folder->text().trimmed()));
    const QFileInfo octave(QDir(folder).filePath(QStringLiteral("octave")));
    if (folder.isEmpty() || !octave.isFile() || !octave.isExecutable()) {
        CMessageBox::Show(this, MissingMessage(m_folder->text()), QStringLiteral("Kestrune"),
                          QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    m_settings.octavePath = folder;
    return true;
}
