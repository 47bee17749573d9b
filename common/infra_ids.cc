#include "common/infra_ids.h"

#include <limits>
#include <memory>

#include "common/method_trap.h"
#include "common/sql_values.h"
#include "db/locks.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh {

bool gAtualiza_infra_ids(const std::string& kind, int32_t user, int32_t /*one*/,
                         const std::string& /*owning_system*/, const std::string& choice,
                         Variant& connection_object, const std::string& connection_text,
                         const std::string& key_column, std::string& message, int32_t& new_id) {
  MethodTrap trap =
      MethodTrap::Routine("QAL_SQL1", "gAtualiza_infra_ids",
                          "Acesso aos SQL não disponível. Favor tentar mais tarde.", " strsq: ");
  Variant message_variant;
  try {
    trap.Step(11010);
    trap.sql() = "SELECT  " + key_column + " FROM infra_ids ";
    // The read and the write run in one transaction that holds the counters,
    // so that concurrent allocations never hand out the same identifier.
    std::unique_ptr<db::CounterTransaction> transaction;
    Variant active = connection_object;
    if (choice != "S") {
      trap.Step(11020);
      transaction = std::make_unique<db::CounterTransaction>(connection_text);
      active = transaction->connection();
    }
    trap.Step(11030);
    Recordset reading;
    reading.set_cursor_location(kUseClient);
    reading.Open(Variant(trap.sql()), active);
    trap.Step(11040);
    if (reading.Eof()) {
      message = "Não há registro no banco de dados na tabela Infra_ids. ";
      return false;
    }
    trap.Step(11050);
    const int64_t last = ToLong(gTrata_Numero(reading.Field(text::Trim(key_column))));
    if (last + 1 > std::numeric_limits<int32_t>::max()) throw RunTimeError::Overflow();
    const int32_t next = static_cast<int32_t>(last + 1);
    trap.Step(11060);
    reading.Close();
    trap.Step(11070);
    trap.sql() =
        "UPDATE infra_ids SET " + key_column + " = " + ToText(gTrata_Numero(Variant::Long(next)));
    Recordset writing;
    writing.set_cursor_location(kUseClient);
    writing.Open(Variant(trap.sql()), active);
    trap.Step(11080);
    if (transaction) transaction->Commit();
    trap.Step(11090);
    new_id = next;
    return true;
  } catch (...) {
    trap.Handle(message_variant, Variant(kind), Variant(connection_text), Variant::Long(user));
    message = ToText(message_variant);
  }
  return false;
}

}  // namespace tmxcnh
