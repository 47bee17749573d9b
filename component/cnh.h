// CNH: the business component's one class. Each public method takes the
// values of one screen as Variants by reference, checks them, composes SQL,
// runs it on the database the caller names and copies the columns back. It
// reports through its result (10 until the work is done, then 0; False and
// True for the Boolean methods) and the message out-parameter, never by an
// error.
//
// The database kind decides the SQL: "ORACLE" asks the private emulation of
// the stored procedure (mTrataSP_<procedure>) for inline SQL; any other value
// sends `exec <procedure> ...`. Methods call each other through this class's
// own (virtual) interface, so a derived object sees every such call.
#pragma once

#include <cstdint>
#include <string>

#include "platform/variant.h"

namespace tmxcnh {

class CNH {
 public:
  CNH() = default;
  virtual ~CNH() = default;
  CNH(const CNH&) = delete;
  CNH& operator=(const CNH&) = delete;

  // The database server's date as dd/mm/yyyy in outvntData_Dia.
  virtual Variant gBusca_Data_Dia(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                  Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                  Variant& invntGrupo_Empresa_id, Variant& outvntData_Dia,
                                  Variant& outvntMsg_Ret);

  // The company that owns a branch, in outvntEmpresa_id.
  virtual Variant gBusca_Empresa_Filial(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                        Variant& invntUsuario_internet_id,
                                        Variant& invntPonto_Operacao_id, Variant& outvntEmpresa_id,
                                        Variant& outvntMsg_Ret);

 protected:
  // The emulations of the stored procedures for the "ORACLE" kind. Each gets
  // the kind and connection texts (for its trap's log row), its typed inputs,
  // the SQL text to write, the caller's message and the internet user as text.
  virtual bool mTrataSP_TMX_CON_DATA_SERVIDOR(const std::string& kind,
                                              const std::string& connection, std::string& sql,
                                              Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string& connection,
                                           int32_t& branch, std::string& sql, Variant& message,
                                           const Variant& user);
};

}  // namespace tmxcnh
