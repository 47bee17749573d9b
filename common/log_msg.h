// The error-message log: one row in LOG_MSG for every failure an error trap
// catches (what failed and where, for which internet user, and when). It must
// never disturb its caller: it returns nothing, raises nothing, and gives up
// silently on any step it cannot do.
#pragma once

#include "platform/variant.h"

namespace tmxcnh {

// kind: the database kind; connection: a connection text or a connection
// object (used as it is); user: the internet user id; type: the message type
// (callers pass the Integer 1); message: the user sentence and the detail.
void gGrava_Log_Msg(Variant& kind, Variant& connection, Variant& user, Variant& type,
                    Variant& message);

// The statement the routine sends (exposed for the tests of its exact text);
// "" when it writes nothing.
std::string LogMsgStatement(const Variant& kind, const Variant& connection, const Variant& user,
                            const Variant& type, const Variant& message);

}  // namespace tmxcnh
