// Stored procedures on SQLite: rows of the catalog table TMX_PROCEDURE whose
// PARAMETERS list names and types ("p_id INTEGER, p_text VARCHAR") and whose
// BODY uses them as :name. Their values are checked against the declared
// types as a typed server checks them, and bound by name.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "db/statement.h"

namespace tmxcnh::db {

struct ProcedureParameter {
  std::string name;
  std::string type;  // INTEGER, NUMERIC, VARCHAR, TIMESTAMP, or empty: as the value comes
};

// The parameters of a PARAMETERS list.
std::vector<ProcedureParameter> ParseProcedureParameters(const std::string& list);

// Raises RunTimeError (kErrStatementFailed) for a value its parameter's type
// cannot hold, in the words of a typed server.
void CheckProcedureArgument(const ProcedureParameter& parameter, const SqlLiteral& argument);

// Where the statement takes each parameter (":name"); 0 where it takes none.
// Found once, when the procedure is compiled.
std::vector<int> ParameterPlaces(sqlite3_stmt* statement,
                                 const std::vector<ProcedureParameter>& parameters);

// Binds each argument where the statement takes its parameter.
void BindProcedureArguments(sqlite3_stmt* statement,
                            const std::vector<ProcedureParameter>& parameters,
                            const std::vector<int>& places,
                            const std::vector<SqlLiteral>& arguments);

}  // namespace tmxcnh::db
