#include "common/log_sistema.h"

#include <limits>
#include <memory>

#include "common/sql_values.h"
#include "db/locks.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

template <typename Step>
void Skipping(Step step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

std::string Value(int32_t number) {
  return ToText(gId_Sql(Variant(text::Trim(std::to_string(number))))) + " , ";
}

void Run(const std::string& sql, const Variant& connection, bool client_cursor) {
  Recordset recordset;
  if (client_cursor) recordset.set_cursor_location(kUseClient);
  recordset.Open(Variant(sql), connection);
}

}  // namespace

std::string LogSistemaInsert(const std::string& kind, int32_t id, int32_t table, int32_t action,
                             int32_t user, int32_t record) {
  std::string sql = std::string(" Insert ") + " Into LOG_SISTEMA ( " + " LOG_SISTEMA_ID, " +
                    " TABELA_SISTEMA_ID, " + " TAB_TIPO_ACAO_ID, " + " USUARIO_ID, " +
                    " registro_id, " + " data_log ) " + " Values ( ";
  sql += Value(id) + Value(table) + Value(action) + Value(user) + Value(record);
  if (kind == "SQLSERVER") {
    sql += " getdate() ) ";
  } else if (kind == "ORACLE") {
    sql += " SYSDATE )  ";
  } else {
    sql += " '01/01/2000' ) ";
  }
  return sql;
}

bool gGrava_Log_Sistema(const std::string& kind, int32_t table, int32_t action, int32_t user,
                        int32_t record, int32_t& code, std::string& message,
                        const std::string& connection_text) {
  // The read and the advance of the counter run in one transaction that
  // holds the counters, so concurrent audit rows get distinct identifiers.
  std::unique_ptr<db::CounterTransaction> transaction;
  std::unique_ptr<Recordset> reading;
  bool read = false;
  Skipping([&] {
    transaction = std::make_unique<db::CounterTransaction>(connection_text);
    reading = std::make_unique<Recordset>();
    reading->set_cursor_location(kUseClient);
    reading->Open(Variant("SELECT LOG_SISTEMA_ID FROM infra_ids "), transaction->connection());
    read = !reading->Eof();
  });
  if (!read) {
    code = 10;
    message = "Não hã registro na tabela Infra_ids.";
    return false;
  }
  int32_t id = 0;
  Skipping([&] { id = ToLong(gTrata_Numero(reading->Field("LOG_SISTEMA_ID"))); });
  Skipping([&] { reading->Close(); });
  // Past the largest identifier the step fails and is skipped like any other:
  // the counter never wraps to a negative identifier.
  Skipping([&] {
    if (id == std::numeric_limits<int32_t>::max()) throw RunTimeError::Overflow();
    id += 1;
  });
  Skipping([&] {
    Run(" Update infra_ids set LOG_SISTEMA_ID = " + ToText(gId_Sql(Variant::Long(id))),
        transaction->connection(), true);
  });
  Skipping([&] { transaction->Commit(); });
  transaction.reset();
  Skipping([&] {
    Run(LogSistemaInsert(kind, id, table, action, user, record), Variant(connection_text), false);
  });
  return true;
}

}  // namespace tmxcnh
