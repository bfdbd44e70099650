#pragma once

#include "editor/core/newfunctiontext.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

// The "New Octave M-File" dialog: the fields of a function header. OK builds
// the function text from them.
class CNewOctaveFile : public QDialog {
    Q_OBJECT
public:
    explicit CNewOctaveFile(QWidget* parent = nullptr);

    NewFunctionFields GetFields() const;
    void SetFields(const NewFunctionFields& fields);

    // Empty until OK was pressed.
    const QString& GetGeneratedText() const { return m_generatedText; }
    QString GetFunction() const;

public slots:
    void accept() override;

private:
    QLineEdit* m_function = nullptr;
    QLineEdit* m_author = nullptr;
    QLineEdit* m_inputs = nullptr;
    QLineEdit* m_outputs = nullptr;
    QPlainTextEdit* m_description = nullptr;
    QPlainTextEdit* m_example = nullptr;
    QPlainTextEdit* m_result = nullptr;
    QLineEdit* m_seeAlso = nullptr;
    QString m_generatedText;
};
