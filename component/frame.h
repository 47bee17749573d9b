// Pieces of the method frame that every method of the class shares.
#pragma once

#include <string>
#include <type_traits>

#include "common/method_trap.h"
#include "db/recordset.h"
#include "platform/variant.h"

namespace tmxcnh {

// Result codes of the methods whose names begin with g.
inline constexpr int16_t kResultNotDone = 10;
inline constexpr int16_t kResultDone = 0;
inline constexpr int16_t kResultInvoicesNotSaved = 30;

// The user sentence of every emulation's trap.
inline constexpr const char* kOracleSentence =
    "Gravação de Informações no banco de dados Oracle indisponível. Favor tentar mais tarde.";

// The connection text of a call: the text of vntConecta_db (a connection
// object gives its connection text).
std::string ConnectionTextOf(const Variant& connection);

// Whether the database kind selects the inline SQL: exactly "ORACLE".
bool IsOracle(const Variant& kind);

// The frame of an emulation that composes the statement for its public
// method: false until the statement is written to sql; on any failure its own
// trap (the Oracle sentence, the emulation's name in the detail, a log row with
// the kind, connection and user it was given).
//
// compose writes the statement into trap.sql(); one that does its own work
// first (the write emulations) returns false to stop without a statement.
template <typename Compose>
bool ComposeStatement(const char* method, const std::string& kind, const std::string& connection,
                      const Variant& user, Variant& message, std::string& sql, Compose compose) {
  MethodTrap trap(method, kOracleSentence);
  try {
    if constexpr (std::is_void_v<decltype(compose(trap))>) {
      compose(trap);
    } else if (!compose(trap)) {
      return false;
    }
    sql = trap.sql();
    return true;
  } catch (...) {
    trap.Handle(message, Variant(kind), Variant(connection), user);
  }
  return false;
}

// Opens a recordset as the reading methods do: client cursor, static,
// read-only, on the connection text.
void OpenForReading(Recordset& recordset, const std::string& sql, const std::string& connection);

// Opens a recordset as the writing methods do: client cursor, everything
// else unspecified.
void OpenForWriting(Recordset& recordset, const std::string& sql, const std::string& connection);

// Runs a write of an emulation: the recordset, closed again if it came back
// open with rows, is released at once.
void ExecuteWrite(const std::string& sql, const std::string& connection);

// Takes the one-row answer of a write (retorno 0, or a Null retorno, is
// done): true when done; otherwise message becomes
// no_row_message, or for a refusal the answer's msg_ret (or refusal_message
// when one is given) and the recordset is closed.
bool AcceptWriteAnswer(Recordset& recordset, Variant& message, const char* no_row_message,
                       const char* refusal_message = nullptr);

// The statement that an emulation hands back for a write that was done.
inline constexpr const char* kDoneAnswer = " SELECT 0 RETORNO , '' MSG_RET ";

// A decimal for SQL text, always with a point: weights and money typed with
// a comma on a Brazilian machine must not split a list of values.
std::string PointDecimal(double value);

// The value of a column, Null read as "" (gTrata_Nulo of the field).
Variant Column(const Recordset& recordset, std::string_view name);
// The same, moved out of the row (Recordset::TakeField): for a loop that
// copies each column of a row once into the outputs.
Variant TakeColumn(Recordset& recordset, std::string_view name);

// The CNPJ column when it is not empty, otherwise the CPF column.
Variant CnpjOrCpf(const Recordset& recordset, std::string_view cnpj, std::string_view cpf);

}  // namespace tmxcnh
