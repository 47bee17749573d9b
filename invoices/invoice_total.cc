// gSoma_Nota_Fiscal: checks the declared values a user typed for a document's
// invoices and adds them up, handing the total back as display text. It has
// no database and so no log row.
#include "common/field_checks.h"
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "platform/conversions.h"
#include "platform/operators.h"

namespace tmxcnh {

Variant CNH::gSoma_Nota_Fiscal(Variant& invntUsuario_internet_id, Variant& invntQtde_Notas,
                               Variant& inarrvntVal_Declarado, Variant& outvntValor_Total_NF,
                               Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap("gSoma_Nota_Fiscal",
                  "Acesso a função não disponível; gSoma_Nota_Fiscal. Favor tentar mais tarde.",
                  MethodTrap::Detail::kWithoutSql, MethodTrap::Logging::kNotLogged);
  try {
    trap.Step(7010);
    // A starting total typed as text counts as the number it stands for, so
    // that it is added to, not joined with, the invoices' values. The
    // caller's total changes only as each value is added.
    Variant total = outvntValor_Total_NF;
    if (total.IsString()) {
      total =
          Equals(total, "") ? Variant::Integer(0) : Variant::Double(ToDouble(gTrata_Numero(total)));
    }
    trap.Step(7020);
    const int16_t count = ToInteger(invntQtde_Notas);
    for (int16_t i = 0; i < count; ++i) {
      trap.Step(7030);
      Variant caption = "Nota fiscal";
      Variant minimum = Variant::Integer(0);
      Variant maximum = "";
      Variant obligation = "N";
      if (!gConsiste_Numero(caption, inarrvntVal_Declarado.At(i), minimum, maximum,
                            invntUsuario_internet_id, outvntMsg_Ret, obligation)) {
        return result;
      }
      trap.Step(7040);
      total = Add(gTrata_Numero(total), gTrata_Numero(inarrvntVal_Declarado.At(i)));
      outvntValor_Total_NF = total;
    }
    trap.Step(7050);
    outvntValor_Total_NF = gFormata_Valor(total, "");
    trap.Step(7060);
    result = Variant::Integer(kResultDone);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, Variant(), Variant(), invntUsuario_internet_id);
  }
  return result;
}

}  // namespace tmxcnh
