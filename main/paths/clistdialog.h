#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class CSessionEvents;
class ISessionCommands;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

// What the search-path and packages dialogs share: a resizable dialog with
// a list that grows with it and a column of buttons at its right edge that
// ends in "Refresh" (the default button) and "Close" (hides the dialog).
// Showing the dialog refreshes the list. Buttons that act on the selection
// are enabled while connected and the first selected row has a non-empty
// name (column 0); the placeholder rows the dialog shows itself never count.
class CListDialog : public QDialog {
    Q_OBJECT
public:
    QTreeWidget* List() const { return m_list; }

    // The row shown while the session collects the list.
    static QString PopulatingText() { return QStringLiteral("Populating list. Please wait..."); }

    // Asks the session for the list again; the dialog stays open.
    void Refresh();
    // Shows the dialog, or refreshes and raises it when it is shown already.
    void Open();

protected:
    CListDialog(ISessionCommands& commands, CSessionEvents& events, const QString& title,
                const QStringList& headings, std::string listRequest, QWidget* parent);

    // Adds a button under the ones added before; call before FinishButtons.
    QPushButton* AddButton(const QString& text, const QString& objectName, bool actsOnSelection);
    void FinishButtons();

    // Empties the list and shows a placeholder row with text in column.
    void ShowPlaceholder(const QString& text, int column);
    // Replaces the list's rows.
    void Fill(const std::vector<QStringList>& rows);

    // The selected rows with a non-empty name, in list order.
    QList<QTreeWidgetItem*> SelectedNamedRows() const;

    // A line under the list that tells what the last action could not do.
    void SetNote(const QString& text);

    ISessionCommands& Commands() const { return m_commands; }

    void showEvent(QShowEvent* event) override;

private:
    void UpdateEnabling();
    static bool Named(const QTreeWidgetItem* row);

    ISessionCommands& m_commands;
    std::string m_listRequest;
    bool m_connected = false;
    QTreeWidget* m_list = nullptr;
    QLabel* m_note = nullptr;
    QVBoxLayout* m_buttons = nullptr;
    QList<QPushButton*> m_selectionButtons;
    QList<QPushButton*> m_sessionButtons;
};
