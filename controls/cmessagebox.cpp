#include "controls/cmessagebox.h"

#include <QCheckBox>
#include <QCoreApplication>

#include "common/cini.h"
#include "platform/appfolders.h"

namespace {
const char* const kSection = "DontAskAgain";

std::string KeyOf(const QString& key)
{
    // The INI format has no room for '=', line breaks or brackets in a key.
    QString clean = key;
    for (QChar& c : clean) {
        if (c == '=' || c == '[' || c == ']' || c == '\n' || c == '\r' || c == ';')
            c = '_';
    }
    return clean.toStdString();
}
}  // namespace

const char* CMessageBox::ObjectName()
{
    return "KestruneMessageBox";
}

QString CMessageBox::IniPath()
{
    QString program = QCoreApplication::applicationName();
    if (program.isEmpty())
        program = QStringLiteral("Kestrune");
    return AppFolders::AppDataFolder(program) + QStringLiteral("/XMessageBox.ini");
}

CMessageBox::Result CMessageBox::Show(QWidget* parent, const QString& text, const QString& caption,
                                      QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                                      const QString& checkText,
                                      QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption.isEmpty() ? QCoreApplication::applicationName() : caption, text,
                    buttons, parent);
    box.setObjectName(QString::fromLatin1(ObjectName()));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    QCheckBox* check = nullptr;
    if (!checkText.isEmpty()) {
        check = new QCheckBox(checkText, &box);
        box.setCheckBox(check);
    }
    Result result;
    box.exec();
    result.button = box.standardButton(box.clickedButton());
    if (result.button == QMessageBox::NoButton) {
        // Closed with Esc or the title bar: the escape button's meaning.
        if (buttons.testFlag(QMessageBox::Cancel))
            result.button = QMessageBox::Cancel;
        else if (buttons.testFlag(QMessageBox::No))
            result.button = QMessageBox::No;
    }
    result.checked = check && check->isChecked();
    return result;
}

QMessageBox::StandardButton CMessageBox::RememberedAnswer(const QString& key)
{
    CIni ini(IniPath().toStdString().c_str());
    const std::string value = ini.GetString(kSection, KeyOf(key).c_str(), "");
    bool ok = false;
    const uint number = QString::fromStdString(value).toUInt(&ok);
    if (!ok || number == 0)
        return QMessageBox::NoButton;
    return static_cast<QMessageBox::StandardButton>(number);
}

void CMessageBox::Forget(const QString& key)
{
    CIni ini(IniPath().toStdString().c_str());
    ini.WriteString(kSection, KeyOf(key).c_str(), "");
}

QMessageBox::StandardButton CMessageBox::ShowRemembered(QWidget* parent, const QString& key,
                                                        const QString& text, const QString& caption,
                                                        QMessageBox::StandardButtons buttons,
                                                        QMessageBox::Icon icon,
                                                        const QString& checkText)
{
    const QMessageBox::StandardButton stored = RememberedAnswer(key);
    if (stored != QMessageBox::NoButton && buttons.testFlag(stored))
        return stored;
    const Result result = Show(parent, text, caption, buttons, icon, checkText);
    if (result.checked && result.button != QMessageBox::NoButton) {
        CIni ini(IniPath().toStdString().c_str());
        ini.WriteString(kSection, KeyOf(key).c_str(),
                        std::to_string(static_cast<unsigned long>(result.button)).c_str());
    }
    return result.button;
}
