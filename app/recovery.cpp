#include "app/recovery.h"

#include "core/document_session.h"
#include "core/file_system.h"

#include <QTimer>

namespace callvista {

Recovery::Recovery(DocumentSession& session)
    : m_session(session)
    , m_store(systemFileSystem(), RecoveryStore::standardFolder())
    , m_end([&session] { session.writePendingCopy(); })
{
    m_session.keepCopiesIn(&m_store);
    QTimer::singleShot(0, &m_session, [&session] { session.offerLeftCopy(); });
}

Recovery::~Recovery()
{
    m_session.keepCopiesIn(nullptr);
}

} // namespace callvista
