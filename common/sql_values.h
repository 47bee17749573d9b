// Routines that turn a caller's Variant into something safe to compare or to
// splice into SQL text: Null and empty values into 0, "" or the word null;
// numbers with the machine's decimal separator; texts and dates as quoted
// literals; the right-hand side of a comparison with its three null forms.
// They look at no database and produce the same text for every database kind.
//
// An "empty value" below is one that equals the empty text: Empty or "".
#pragma once

#include <string>
#include <string_view>

#include "platform/variant.h"

namespace tmxcnh {

// The machine's decimal separator, found by writing 0.5 as text.
char MachineDecimalSeparator();

// A number to compare or to send: Null and empty values give the Integer 0; a
// value whose text holds exactly one foreign decimal separator gets it
// replaced by the machine's (12.5 becomes 12,5 on a comma machine); anything
// else comes back unchanged. Never fails: an error gives 0.
Variant gTrata_Numero(const Variant& value);

// Money for display, always with a comma and two decimals cut (not rounded).
// Null, empty or zero values give the default. Never fails: an error gives 0.
Variant gFormata_Valor(const Variant& value, const Variant& default_value);

// 'yyyy/mm/dd hh:mm' between quotes, or null for a Null or empty value.
Variant gData_Sql(const Variant& value);

// "" for a Null, otherwise the value itself. Never fails: an error gives "".
Variant gTrata_Nulo(const Variant& value);

// null when the leading number of the value's text is 0, otherwise the value
// unchanged. A Null is the invalid-use-of-Null error.
Variant gId_Sql(const Variant& value);

// The value between quotes (quotes inside are left as they are), or null.
Variant gTexto_Sql(const Variant& value);

// Copies text into result with every "," turned into "."; always true.
bool gTroca_Virgula_Ponto(const std::string& text, std::string& result);

// The text without the characters ' < > ( ) ; % & + and the double quote; ""
// for a text of blanks only.
std::string gRetira_Caracteres(std::string_view text);

// " <op> value" for a value whose leading number is not 0; otherwise
// " is not null" for "<>", " is null" for "=", " null" for any other operator.
// A Null is the invalid-use-of-Null error.
Variant gCondicao_Numero_Sql(const Variant& value, const std::string& op);

// " <op> 'value'" for a value that is not empty; otherwise the null forms above.
Variant gCondicao_Texto_Sql(const Variant& value, const std::string& op);

}  // namespace tmxcnh
