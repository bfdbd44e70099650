#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CProfile;
class QHeaderView;

// A list's column layout (widths, order, visibility and sort column) kept in
// the program's profile under a name: restored when made (after the list's
// columns and initial widths are set), stored at every later change. It lives
// as long as the header.
class CColumnProfile : public QObject {
    Q_OBJECT
public:
    CColumnProfile(QHeaderView* header, const CProfile& profile, const QString& name);
    ~CColumnProfile() override;

    // Stores the layout now (for changes the header does not signal).
    void Save();

private:
    QHeaderView* m_header;
    std::unique_ptr<CProfile> m_profile;
    QString m_name;
    bool m_restoring = false;
};
