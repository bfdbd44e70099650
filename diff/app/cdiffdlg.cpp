#include "diff/app/cdiffdlg.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

namespace {

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

CDiffDlg::CDiffDlg(const QString& first, const QString& output, QWidget* parent)
    : QDialog(parent), m_output(output)
{
    setWindowTitle(QStringLiteral("Select Files or Folders for Comparison"));
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));

    auto* firstLabel = new QLabel(QStringLiteral("First File or Folder:"), this);
    firstLabel->setGeometry(Dlu(7, 8, 58, 8));
    // The label widths were made for a narrower font; never cut the text.
    firstLabel->resize(qMax(firstLabel->width(), firstLabel->sizeHint().width()), firstLabel->height());
    m_firstEdit = new QLineEdit(first, this);
    m_firstEdit->setGeometry(Dlu(7, 18, 253, 12));
    m_firstBrowse = new QPushButton(QStringLiteral("..."), this);
    m_firstBrowse->setGeometry(Dlu(261, 18, 15, 12));

    auto* secondLabel = new QLabel(QStringLiteral("Second File or Folder:"), this);
    secondLabel->setGeometry(Dlu(7, 32, 70, 8));
    secondLabel->resize(qMax(secondLabel->width(), secondLabel->sizeHint().width()), secondLabel->height());
    m_secondEdit = new QLineEdit(this);
    m_secondEdit->setGeometry(Dlu(7, 42, 253, 12));
    m_secondBrowse = new QPushButton(QStringLiteral("..."), this);
    m_secondBrowse->setGeometry(Dlu(261, 42, 15, 12));

    // Hidden: a comparison from the dialog always counts case and indentation.
    m_options = new QGroupBox(QStringLiteral("Options"), this);
    m_options->setGeometry(Dlu(7, 55, 97, 25));
    m_caseBox = new QCheckBox(QStringLiteral("case"), this);
    m_caseBox->setGeometry(Dlu(15, 69, 41, 11));
    m_caseBox->setChecked(true);
    m_indentBox = new QCheckBox(QStringLiteral("indent"), this);
    m_indentBox->setGeometry(Dlu(60, 69, 42, 11));
    m_indentBox->setChecked(true);
    m_options->hide();
    m_caseBox->hide();
    m_indentBox->hide();

    m_compare = new QPushButton(QStringLiteral("Compare"), this);
    m_compare->setGeometry(Dlu(118, 61, 50, 14));
    m_compare->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setGeometry(Dlu(177, 61, 50, 14));

    setFixedSize(Dlu(0, 0, 283, 87).size());

    auto* about = new QAction(this);
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, [this] { ShowAbout(this); });
    addAction(about);

    connect(m_firstBrowse, &QPushButton::clicked, this, [this] { Browse(true); });
    connect(m_secondBrowse, &QPushButton::clicked, this, [this] { Browse(false); });
    connect(m_compare, &QPushButton::clicked, this, &CDiffDlg::OnCompare);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_chooser = [](QWidget* owner) {
        return QFileDialog::getOpenFileNames(owner, QString(), QString(), QString());
    };
    m_notify = [this](const std::string& message) {
        QMessageBox::warning(this, QStringLiteral("kestrune-diff"), QFile::decodeName(QByteArray::fromStdString(message)));
    };
}

QRect CDiffDlg::Dlu(int x, int y, int width, int height) const
{
    const QFontMetrics metrics = fontMetrics();
    const int baseX = qMax(1, metrics.averageCharWidth());
    const int baseY = qMax(1, metrics.height());
    return QRect(x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8);
}

void CDiffDlg::Browse(bool firstButton)
{
    const QStringList chosen = m_chooser ? m_chooser(this) : QStringList();
    if (chosen.isEmpty())
        return;
    if (chosen.size() >= 2) {
        // Two files picked at once are the pair, whichever button was used.
        m_firstEdit->setText(chosen.at(0));
        m_secondEdit->setText(chosen.at(1));
    } else if (firstButton) {
        m_firstEdit->setText(chosen.at(0));
    } else {
        m_secondEdit->setText(chosen.at(0));
    }
}

void CDiffDlg::OnCompare()
{
    COptionList options;
    if (!m_caseBox->isChecked())
        options.SetOption("case", "no");
    if (!m_indentBox->isChecked())
        options.SetOption("indent", "no");
    m_outcome = CComparisonRun::Run(Bytes(m_firstEdit->text()), Bytes(m_secondEdit->text()),
                                    Bytes(m_output), options, m_notify);
    // Closes whatever the outcome, as "Cancel" would.
    reject();
}

void CDiffDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("&A propos de diff..."), this, [this] { ShowAbout(this); });
    menu.exec(event->globalPos());
}

void CDiffDlg::ShowAbout(QWidget* parent)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("About"));
    box.setText(QStringLiteral("Version 1.0"));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
