// Creating the component's database: schema, stored procedures and demo data,
// on a SQLite file or on a PostgreSQL database reached through ODBC.
#pragma once

#include <string>

namespace tmxcnh::db {

// Refuses (RunTimeError) a database that already holds tables, so nothing is
// ever overwritten. A SQLite file is created when missing.
void InitializeDatabase(const std::string& connection_text, bool with_demo_data = true);

}  // namespace tmxcnh::db
