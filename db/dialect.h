// How a statement is written for each engine. The component writes stored
// procedure calls as SQL Server does (`exec NAME v1, v2`) and its inline SQL
// in the Oracle idiom (SYSDATE, TO_DATE with Oracle masks, DUAL, a SELECT
// without FROM); each engine gets the form it runs.
#pragma once

#include <string>
#include <string_view>

#include "db/connection.h"
#include "db/statement.h"

namespace tmxcnh::db {

// A text as an SQL literal: between quotes, its own quotes doubled.
std::string QuotedSqlText(std::string_view text);

// PostgreSQL runs a procedure as a set-returning function:
// SELECT * FROM name('v1', 7, NULL). Texts are quoted with their quotes
// doubled; numbers go as written.
std::string PostgresCallText(const ProcedureCall& call);

// The inline statement as the engine writes it: on PostgreSQL, SYSDATE is
// LOCALTIMESTAMP(0) and TO_DATE is TMX_TO_DATE (which keeps the time); on
// SQLite, SYSDATE is GETDATE() (TO_DATE and GETDATE are functions of the
// connection); on Oracle, GETDATE ( ) is SYSDATE and a SELECT without FROM
// reads FROM DUAL. Texts between quotes are never touched.
std::string AdaptInlineSql(std::string_view sql, Engine engine);

}  // namespace tmxcnh::db
