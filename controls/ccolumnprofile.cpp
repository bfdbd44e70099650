#include "controls/ccolumnprofile.h"

#include <QHeaderView>

#include "platform/cprofile.h"

namespace {

const QString kLayoutKey = QStringLiteral("Columns");

}  // namespace

CColumnProfile::CColumnProfile(QHeaderView* header, const CProfile& profile, const QString& name)
    : QObject(header), m_header(header), m_profile(std::make_unique<CProfile>(profile)), m_name(name)
{
    const QByteArray state = QByteArray::fromBase64(m_profile->GetString(name, kLayoutKey).toLatin1());
    if (!state.isEmpty()) {
        m_restoring = true;
        header->restoreState(state);
        m_restoring = false;
    }
    connect(header, &QHeaderView::sectionResized, this, &CColumnProfile::Save);
    connect(header, &QHeaderView::sectionMoved, this, &CColumnProfile::Save);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &CColumnProfile::Save);
}

CColumnProfile::~CColumnProfile() = default;

void CColumnProfile::Save()
{
    if (!m_restoring)
        m_profile->WriteString(m_name, kLayoutKey, QString::fromLatin1(m_header->saveState().toBase64()));
}
