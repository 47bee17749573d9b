// The functions the component's statements use on SQLite, registered on each
// connection: GETDATE() (the host's local date and time, 'yyyy-mm-dd
// hh:mm:ss') and TO_DATE(text, mask) with the Oracle masks (YYYY MM DD HH24 HH
// MI SS and separators), keeping the time.
#pragma once

#include <sqlite3.h>

namespace tmxcnh::db {

void RegisterSqliteFunctions(sqlite3* db);

}  // namespace tmxcnh::db
