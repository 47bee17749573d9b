// mGrava_Nota_fiscal: replaces a document's invoices: marks the old ones
// deleted, then checks and inserts the given ones one by one. Saves of one
// document's invoices are serialised, so two at once never leave a mix.
#include "common/field_checks.h"
#include "common/infra_ids.h"
#include "common/log_sistema.h"
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/locks.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/operators.h"

namespace tmxcnh {
namespace {

// A typed value as the insert takes it: Null to "", as text, cleaned.
std::string Cleaned(const Variant& value) { return gRetira_Caracteres(ToText(gTrata_Nulo(value))); }

bool CheckWhole(const char* caption, Variant& value, Variant& user, Variant& message) {
  Variant caption_variant = caption;
  Variant minimum = Variant::Integer(1);
  Variant maximum = "";
  Variant obligation = "N";
  return gConsiste_Inteiro(caption_variant, value, minimum, maximum, user, message, obligation);
}

bool CheckDecimal(const char* caption, Variant& value, Variant& user, Variant& message) {
  Variant caption_variant = caption;
  Variant minimum = Variant::Integer(0);
  Variant maximum = "";
  Variant obligation = "N";
  return gConsiste_Numero(caption_variant, value, minimum, maximum, user, message, obligation);
}

}  // namespace

bool CNH::mGrava_Nota_fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                             Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                             Variant& invntDocto_Transporte_id, Variant& invntQtde_Notas,
                             Variant& inarrvntNota_fiscal, Variant& inarrvntConteudo,
                             Variant& inarrvntVal_Declarado, Variant& inarrvntNum_Volume,
                             Variant& outvntMsg_Ret) {
  bool result = false;
  MethodTrap trap("mGrava_Nota_fiscal",
                  "Problema ao gravar à Nota Fiscal. Favor tentar mais tarde.");
  try {
    trap.Step(12010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(12020);
    // Named by the number the statements use, so that a Null document (saved
    // as null) is named too.
    const db::NamedLock saving(connection,
                               "nota_fiscal " + ToText(gTrata_Numero(invntDocto_Transporte_id)));
    trap.Step(12030);
    if (IsOracle(invntBanco_Dados)) {
      int32_t document = ToLong(gTrata_Numero(invntDocto_Transporte_id));
      int32_t user = ToLong(gTrata_Numero(invntUsuario_internet_id));
      if (!mTrataSP_TMX_EXC_NF_CONHEC2(ToText(invntBanco_Dados), connection, document, user,
                                       trap.sql(), outvntMsg_Ret,
                                       Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(12040);
      trap.sql() = "exec  SP_TMX_EXC_NF_Conhec2 " + ToText(gId_Sql(invntDocto_Transporte_id)) +
                   ", " + ToText(gId_Sql(invntUsuario_internet_id));
    }
    trap.Step(12050);
    {
      Recordset recordset;
      OpenForWriting(recordset, trap.sql(), connection);
      trap.Step(12060);
      if (!AcceptWriteAnswer(recordset, outvntMsg_Ret, "Nenhume registro afetado.")) return result;
    }
    trap.Step(12070);
    const int32_t count = ToLong(invntQtde_Notas);
    for (int32_t i = 0; i < count; ++i) {
      trap.Step(12080);
      if (!CheckWhole("nota fiscal", inarrvntNota_fiscal.At(i), invntUsuario_internet_id,
                      outvntMsg_Ret) ||
          !CheckWhole("volume", inarrvntNum_Volume.At(i), invntUsuario_internet_id,
                      outvntMsg_Ret) ||
          !CheckDecimal("valor da nota fiscal", inarrvntVal_Declarado.At(i),
                        invntUsuario_internet_id, outvntMsg_Ret)) {
        return result;
      }
      trap.Step(12090);
      const std::string invoice = Cleaned(inarrvntNota_fiscal.At(i));
      const std::string contents = Cleaned(inarrvntConteudo.At(i));
      double value = ToDouble(Variant(Cleaned(inarrvntVal_Declarado.At(i))));
      int32_t volumes = ToLong(Variant(Cleaned(inarrvntNum_Volume.At(i))));
      trap.Step(12100);
      if (IsOracle(invntBanco_Dados)) {
        int32_t company = ToLong(gTrata_Numero(invntEmpresa_id));
        int32_t document = ToLong(gTrata_Numero(invntDocto_Transporte_id));
        if (!mTrataSP_TMX_INC_NF_CONHEC2(
                ToText(invntBanco_Dados), connection, company, ToText(gTrata_Nulo(invoice)),
                ToText(gTrata_Nulo(contents)), value, volumes, document, trap.sql(), outvntMsg_Ret,
                Variant(ToText(invntUsuario_internet_id)))) {
          return result;
        }
      } else {
        trap.Step(12110);
        trap.sql() = "exec SP_TMX_INC_NF_Conhec2  " + ToText(gId_Sql(invntEmpresa_id)) + ", " +
                     ToText(gTexto_Sql(Variant(invoice))) + ", " +
                     ToText(gTexto_Sql(Variant(contents))) + ", " +
                     ToText(gId_Sql(Variant(PointDecimal(value)))) + ", " +
                     ToText(gId_Sql(Variant::Long(volumes))) + ", " +
                     ToText(gId_Sql(invntDocto_Transporte_id));
      }
      trap.Step(12120);
      Recordset recordset;
      OpenForWriting(recordset, trap.sql(), connection);
      trap.Step(12130);
      if (!AcceptWriteAnswer(recordset, outvntMsg_Ret, "Nenhume registro afetado.",
                             "Não foi possível efetuar a inclusão das notas."))
        return result;
    }
    trap.Step(12140);
    result = true;
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_EXC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                      int32_t& document, int32_t& /*user*/, std::string& sql,
                                      Variant& message, const Variant& user_text) {
  return ComposeStatement("mTrataSP_TMX_EXC_NF_CONHEC2", kind, connection, user_text, message, sql,
                          [&](MethodTrap& trap) {
                            trap.Step(12210);
                            trap.sql() =
                                std::string() + " UPDATE NOTA_FISCAL " + " SET TAB_STATUS_ID = 2 " +
                                " WHERE DOCTO_TRANSPORTE_ID =  " +
                                ToText(gCondicao_Numero_Sql(Variant::Long(document), "")) + " ";
                            trap.Step(12220);
                            ExecuteWrite(trap.sql(), connection);
                            trap.Step(12230);
                            trap.sql() = kDoneAnswer;
                          });
}

bool CNH::mTrataSP_TMX_INC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                      int32_t& company, const std::string& invoice,
                                      const std::string& contents, double& value, int32_t& volumes,
                                      int32_t& document, std::string& sql, Variant& message,
                                      const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_INC_NF_CONHEC2", kind, connection, user, message, sql, [&](MethodTrap& trap) {
        trap.Step(12310);
        Variant no_object;
        std::string allocator_message;
        int32_t id = 0;
        if (!gAtualiza_infra_ids(kind, ToLong(user), 1, "TRAMOX", "N", no_object, connection,
                                 "NOTA_FISCAL_ID", allocator_message, id)) {
          message = Variant(allocator_message);
          return false;
        }
        trap.Step(12320);
        std::string& s = trap.sql();
        s = std::string() + " INSERT INTO NOTA_FISCAL " + " ( NOTA_FISCAL_ID , " +
            " EMPRESA_ID , " + " DOCTO_TRANSPORTE_ID , " + " NOTA_FISCAL , " + " CONTEUDO , " +
            " VAL_DECLARADO , " + " NUM_VOLUME , " + " TAB_STATUS_ID ) " + " VALUES (  ";
        s += ToText(gCondicao_Numero_Sql(Variant::Long(id), "")) + " , ";
        s += "  " + ToText(gCondicao_Numero_Sql(Variant::Long(company), "")) + " , ";
        s += "  " + ToText(gCondicao_Numero_Sql(Variant::Long(document), "")) + " , ";
        s += "  " + ToText(gCondicao_Texto_Sql(Variant(invoice), "")) + " , ";
        s += "  " + ToText(gCondicao_Texto_Sql(Variant(contents), "")) + " , ";
        s += "  " + ToText(gCondicao_Numero_Sql(Variant(PointDecimal(value)), "")) + " , ";
        s += "  " + ToText(gCondicao_Numero_Sql(Variant::Long(volumes), "")) + " , ";
        s += " 1 ) ";
        trap.Step(12330);
        ExecuteWrite(s, connection);
        trap.Step(12340);
        int32_t code = 0;
        std::string audit_message;
        if (!gGrava_Log_Sistema(kind, 37, 1, ToLong(gTrata_Numero(user)),
                                ToLong(gTrata_Numero(Variant::Long(id))), code, audit_message,
                                connection)) {
          return false;
        }
        trap.Step(12350);
        s = kDoneAnswer;
        return true;
      });
}

}  // namespace tmxcnh
