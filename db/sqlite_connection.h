// The embedded SQLite engine, for connection texts "Driver=SQLite3;Database=<path>".
//
// Each connection gets the functions the component's statements use:
// GETDATE() (the host's local date and time) and TO_DATE(text, mask) with the
// Oracle masks, keeping the time. Stored procedures live in the database, in
// the catalog table TMX_PROCEDURE (NAME, PARAMETERS: names in call order
// separated by commas, BODY: statements separated by ";" using :name for the
// parameters). A call runs the body in one transaction; its answer is the
// result set of the last statement of the body that has result columns.
#pragma once

#include <memory>
#include <string>

#include "db/connection.h"

namespace tmxcnh::db {

std::shared_ptr<Driver> MakeSqliteDriver();

// Opens (creating when missing) a database file for administration: initdb
// runs its scripts through it. The component itself never creates a file.
std::unique_ptr<Connection> OpenSqliteForCreate(const std::string& path);

// Runs a whole script of statements (administration only).
void RunSqliteScript(Connection& connection, const std::string& script);

}  // namespace tmxcnh::db
