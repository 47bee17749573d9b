#include "component/frame.h"

#include "common/sql_values.h"
#include "platform/conversions.h"
#include "platform/operators.h"

namespace tmxcnh {

std::string ConnectionTextOf(const Variant& connection) { return ToText(connection); }

bool IsOracle(const Variant& kind) { return Equals(kind, "ORACLE"); }

void OpenForReading(Recordset& recordset, const std::string& sql, const std::string& connection) {
  recordset.set_cursor_location(kUseClient);
  recordset.Open(Variant(sql), Variant(connection), kOpenStatic, kLockReadOnly, kUnspecified);
}

void OpenForWriting(Recordset& recordset, const std::string& sql, const std::string& connection) {
  recordset.set_cursor_location(kUseClient);
  recordset.Open(Variant(sql), Variant(connection), kUnspecified, kUnspecified, kUnspecified);
}

void ExecuteWrite(const std::string& sql, const std::string& connection) {
  Recordset recordset;
  OpenForWriting(recordset, sql, connection);
  if (recordset.State() != kStateClosed && !recordset.Eof()) recordset.Close();
}

bool AcceptWriteAnswer(Recordset& recordset, Variant& message, const char* no_row_message,
                       const char* refusal_message) {
  if (recordset.Eof()) {
    message = no_row_message;
    return false;
  }
  if (Differs(recordset.Field("retorno"), 0)) {
    message = refusal_message ? Variant(refusal_message) : Column(recordset, "msg_ret");
    recordset.Close();
    return false;
  }
  return true;
}

std::string PointDecimal(double value) {
  std::string text;
  gTroca_Virgula_Ponto(ToText(Variant::Double(value)), text);
  return text;
}

Variant Column(const Recordset& recordset, std::string_view name) {
  return gTrata_Nulo(recordset.Field(name));
}

Variant TakeColumn(Recordset& recordset, std::string_view name) {
  Variant value = recordset.TakeField(name);
  if (value.IsNull()) return gTrata_Nulo(value);
  return value;
}

Variant CnpjOrCpf(const Recordset& recordset, std::string_view cnpj, std::string_view cpf) {
  if (Differs(Column(recordset, cnpj), "")) return Column(recordset, cnpj);
  return Column(recordset, cpf);
}

}  // namespace tmxcnh
