#pragma once

#include "app/session_end.h"
#include "core/recovery_store.h"

namespace callvista {

class DocumentSession;

// The unsaved changes of the program's run kept safe: the session keeps its
// copies in the user's local data folder; once the event loop runs, with the
// window up, it offers the copy that an ended program left; and when the
// system ends the program, the copy that waits for its moment is written
// first. Made after the application and the window, before any change.
class Recovery
{
public:
    explicit Recovery(DocumentSession& session);
    ~Recovery();
    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

private:
    DocumentSession& m_session;
    RecoveryStore m_store;
    SessionEndWatch m_end;
};

} // namespace callvista
