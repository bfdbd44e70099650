#pragma once

#include <QWidget>

// One page of a CTreePropertySheet. The sheet calls Load() the first time the
// page is shown and Apply() on OK or Apply only for pages that were shown;
// Apply() returning false keeps the sheet open on that page.
class CPropertyPage : public QWidget {
public:
    explicit CPropertyPage(QWidget* parent = nullptr) : QWidget(parent) {}

    virtual void Load() = 0;
    virtual bool Apply() = 0;

    bool WasShown() const { return m_shown; }
    void MarkShown() { m_shown = true; }

private:
    bool m_shown = false;
};
