#pragma once

#include "diff/ccomparisonrun.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// "Select Files or Folders for Comparison": two paths, "Compare" runs the
// comparison into the output path carried over from the command line.
class CDiffDlg : public QDialog {
    Q_OBJECT

public:
    // Returns the files the user picked; empty when the choice was cancelled.
    using Chooser = std::function<QStringList(QWidget* parent)>;

    explicit CDiffDlg(const QString& first, const QString& output, QWidget* parent = nullptr);

    void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    void SetNotify(CComparisonRun::Notify notify) { m_notify = std::move(notify); }

    // The outcome of "Compare"; empty when the dialog closed without comparing.
    std::optional<CComparisonRun::Result> Outcome() const { return m_outcome; }

    QLineEdit* FirstEdit() const { return m_firstEdit; }
    QLineEdit* SecondEdit() const { return m_secondEdit; }
    QPushButton* FirstBrowse() const { return m_firstBrowse; }
    QPushButton* SecondBrowse() const { return m_secondBrowse; }
    QPushButton* CompareButton() const { return m_compare; }
    QPushButton* CancelButton() const { return m_cancel; }
    QGroupBox* OptionsGroup() const { return m_options; }
    QCheckBox* CaseBox() const { return m_caseBox; }
    QCheckBox* IndentBox() const { return m_indentBox; }

    static void ShowAbout(QWidget* parent);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Browse(bool firstButton);
    void OnCompare();
    // Dialog units of "MS Sans Serif" 8, in pixels of the dialog's own font.
    QRect Dlu(int x, int y, int width, int height) const;

    QLineEdit* m_firstEdit = nullptr;
    QLineEdit* m_secondEdit = nullptr;
    QPushButton* m_firstBrowse = nullptr;
    QPushButton* m_secondBrowse = nullptr;
    QGroupBox* m_options = nullptr;
    QCheckBox* m_caseBox = nullptr;
    QCheckBox* m_indentBox = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_output;
    Chooser m_chooser;
    CComparisonRun::Notify m_notify;
    std::optional<CComparisonRun::Result> m_outcome;
};
