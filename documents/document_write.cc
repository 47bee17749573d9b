#include "documents/document_write.h"

#include "common/sql_values.h"
#include "platform/conversions.h"
#include "platform/format.h"

namespace tmxcnh {

std::string WithPoint(const Variant& typed) {
  std::string text;
  gTroca_Virgula_Ponto(ToText(typed), text);
  return text;
}

int32_t WholeNumber(const Variant& typed) { return ToLong(gTrata_Numero(typed)); }

std::string IdArgument(const Variant& typed) { return ToText(gId_Sql(typed)); }

double AsNumber(const Variant& typed) { return ToDouble(gTrata_Numero(Variant(WithPoint(typed)))); }

std::string IssueDateLiteral(const std::string& date) {
  if (date.empty()) return " null";
  return " TO_DATE('" + Format(Variant(date), "yyyy/mm/dd hh:mm") + "' , 'YYYY/MM/DD hh24:mi')";
}

}  // namespace tmxcnh
