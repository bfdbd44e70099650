#pragma once

#include <QPointer>
#include <QString>
#include <QTreeView>

#include <string>

class CColumnProfile;
class CProfile;

// A report-style list: full-row multiple selection, sortable columns and a
// column profile, that is the widths, order, visibility and sort column kept
// in the program's profile under a name and restored the next time. The
// columns' visibility is switched from the header's context menu.
class CListCtrlEx : public QTreeView {
    Q_OBJECT
public:
    // How a column's texts compare when the list sorts by it.
    enum ColumnSort { SortText, SortNumber };

    explicit CListCtrlEx(QWidget* parent = nullptr);
    ~CListCtrlEx() override;

    // Restores the layout stored under name (after the model and the initial
    // widths are set) and stores every later change there.
    void SetColumnProfile(const CProfile& profile, const QString& name);

    // Byte-wise, case-sensitive order for SortText; for SortNumber the
    // leading integer of each text (blanks, an optional sign, decimal digits;
    // none counts as 0), so "2.5" and "2.9" are equal.
    static bool Less(ColumnSort sort, const std::string& a, const std::string& b);
    static long long LeadingInteger(const std::string& text);

private:
    void ShowHeaderMenu(const QPoint& at);

    QPointer<CColumnProfile> m_columns;  // owned by the header
};
