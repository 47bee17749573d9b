#include "common/log_msg.h"

#include "common/sql_values.h"
#include "db/recordset.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

constexpr int32_t kPieceLength = 255;
constexpr int kPieces = 5;

// Runs one step; a step that fails is skipped and the routine goes on.
template <typename Step>
void Skipping(Step step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

// A whole number from a numeric value, or 0.
Variant NumberOrZero(const Variant& value) {
  Variant number = Variant::Long(0);
  Skipping([&] {
    if (IsNumeric(value)) number = Variant::Long(ToLong(value));
  });
  return number;
}

std::string DateExpression(const Variant& kind) {
  if (Equals(kind, "SQLSERVER")) return " GETDATE() , ";
  if (Equals(kind, "ORACLE")) {
    const Variant now = Variant::Date(*SerialFromCivil(Now()));
    return " TO_DATE('" + Format(now, "YYYY/MM/DD hh:mm:ss") + "' , 'YYYY/MM/DD hh24:mi:ss') , ";
  }
  return " '2002/01/01' , ";
}

// The text as every engine stores it: no NUL, and a byte that begins no
// UTF-8 character as "?". A message that held them is still logged.
std::string Storable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const std::string_view character : text::Characters(text)) {
    if (character == std::string_view("\0", 1)) continue;
    const bool stray = character.size() == 1 && static_cast<unsigned char>(character[0]) >= 0x80;
    out += stray ? std::string_view("?") : character;
  }
  return out;
}

}  // namespace

std::string LogMsgStatement(const Variant& kind, const Variant& connection, const Variant& user,
                            const Variant& type, const Variant& message) {
  bool give_up = false;
  Skipping([&] { give_up = text::Trim(ToText(kind)).empty(); });
  if (give_up) return "";
  Skipping([&] { give_up = text::Trim(ToText(connection)).empty(); });
  if (give_up) return "";
  const Variant user_id = NumberOrZero(user);
  const Variant type_id = NumberOrZero(type);
  std::string cleaned;
  Skipping([&] { cleaned = Storable(gRetira_Caracteres(ToText(message))); });
  if (cleaned.empty()) return "";

  std::string statement;
  Skipping([&] {
    std::string sql = "INSERT INTO LOG_MSG ";
    sql += "( TAB_TIPO_MSG_ID,";
    sql += " USUARIO_INTERNET_ID , ";
    sql += " DATA_LOG    , ";
    sql += " MSG01       , ";
    sql += " MSG02       , ";
    sql += " MSG03       , ";
    sql += " MSG04       , ";
    sql += " MSG05       ) ";
    sql += " VALUES ( ";
    sql += ToText(gId_Sql(type_id)) + " , ";
    sql += ToText(gId_Sql(user_id)) + " , ";
    sql += DateExpression(kind);
    for (int k = 0; k < kPieces; ++k) {
      const std::string piece = text::Mid(cleaned, k * kPieceLength + 1, kPieceLength);
      sql += ToText(gTexto_Sql(Variant(piece))) + (k + 1 < kPieces ? " , " : " ) ");
    }
    statement = sql;
  });
  return statement;
}

void gGrava_Log_Msg(Variant& kind, Variant& connection, Variant& user, Variant& type,
                    Variant& message) {
  const std::string statement = LogMsgStatement(kind, connection, user, type, message);
  if (statement.empty()) return;
  Skipping([&] {
    Recordset recordset;
    recordset.set_cursor_location(kUseClient);
    recordset.Open(Variant(statement), connection, kUnspecified, kUnspecified, kUnspecified);
  });
}

}  // namespace tmxcnh
