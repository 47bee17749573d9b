// Connections through an ODBC driver manager: unixODBC with psqlODBC here,
// the Windows driver manager with the SQL Server and Oracle drivers in
// production. Only the wide-character entry points are used, so the same code
// serves both.
#pragma once

#include <memory>

#include "db/connection.h"

namespace tmxcnh::db {

// The connection text goes to the driver manager as ConnectionText::ForOdbc()
// gives it. The driver manager's own pooling is switched off: the component
// pools connections itself.
std::shared_ptr<Driver> MakeOdbcDriver();

}  // namespace tmxcnh::db
