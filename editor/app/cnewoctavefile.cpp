#include "editor/app/cnewoctavefile.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QPlainTextEdit* MultiLineEdit(QWidget* parent)
{
    auto* edit = new QPlainTextEdit(parent);
    edit->setTabChangesFocus(true);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 4 + 10);
    return edit;
}

std::string Text(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

std::string Text(const QPlainTextEdit* edit)
{
    return edit->toPlainText().toStdString();
}

}  // namespace

CNewOctaveFile::CNewOctaveFile(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("New Octave M-File"));
    auto* group = new QGroupBox(this);
    auto* form = new QFormLayout(group);
    m_function = new QLineEdit(group);
    m_author = new QLineEdit(group);
    m_inputs = new QLineEdit(group);
    m_outputs = new QLineEdit(group);
    m_description = MultiLineEdit(group);
    m_example = MultiLineEdit(group);
    m_result = MultiLineEdit(group);
    m_seeAlso = new QLineEdit(group);
    form->addRow(tr("Function:"), m_function);
    form->addRow(tr("Author:"), m_author);
    form->addRow(tr("Inputs:"), m_inputs);
    form->addRow(tr("Outputs:"), m_outputs);
    form->addRow(tr("Description:"), m_description);
    form->addRow(tr("Example:"), m_example);
    form->addRow(tr("Result:"), m_result);
    form->addRow(tr("See Also:"), m_seeAlso);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewOctaveFile::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    resize(520, 480);

    SetFields(NewFunctionFields());
}

NewFunctionFields CNewOctaveFile::GetFields() const
{
    NewFunctionFields f;
    f.function = Text(m_function);
    f.author = Text(m_author);
    f.inputs = Text(m_inputs);
    f.outputs = Text(m_outputs);
    f.description = Text(m_description);
    f.example = Text(m_example);
    f.result = Text(m_result);
    f.seeAlso = Text(m_seeAlso);
    return f;
}

void CNewOctaveFile::SetFields(const NewFunctionFields& f)
{
    m_function->setText(QString::fromStdString(f.function));
    m_author->setText(QString::fromStdString(f.author));
    m_inputs->setText(QString::fromStdString(f.inputs));
    m_outputs->setText(QString::fromStdString(f.outputs));
    m_description->setPlainText(QString::fromStdString(f.description));
    m_example->setPlainText(QString::fromStdString(f.example));
    m_result->setPlainText(QString::fromStdString(f.result));
    m_seeAlso->setText(QString::fromStdString(f.seeAlso));
}

QString CNewOctaveFile::GetFunction() const
{
    return m_function->text();
}

void CNewOctaveFile::accept()
{
    m_generatedText = QString::fromStdString(GenerateFunctionText(GetFields()));
    QDialog::accept();
}
