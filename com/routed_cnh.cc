#include "com/routed_cnh.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "com/variant_bridge.h"
#include "platform/run_time_error.h"

namespace tmxcnh::com {
namespace {

// A failing call status of a method of the class, as the run time raises it.
void Check(HRESULT hr) {
  if (FAILED(hr)) throw RunTimeError(static_cast<int32_t>(hr), "Erro de automação");
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw RunTimeError(static_cast<int32_t>(hr), what);
}

// Whether the callee stored a new value: it writes every parameter it
// changes as a freshly made VARIANT.
bool Rewritten(const VARIANT& sent, const VARIANT& now) {
  return std::memcmp(&sent, &now, sizeof(VARIANT)) != 0;
}

// The by-reference Variants of a call as VARIANTs, and back again.
class OutgoingArguments {
 public:
  explicit OutgoingArguments(std::initializer_list<Variant*> values)
      : values_(values), variants_(values.size()), sent_(values.size()) {
    for (size_t i = 0; i < values_.size(); ++i) {
      Check(MakeVariant(*values_[i], variants_[i]), "Tipos incompatíveis");
      sent_[i] = variants_[i];
    }
  }
  ~OutgoingArguments() {
    for (VARIANT& variant : variants_) VariantClear(&variant);
  }
  OutgoingArguments(const OutgoingArguments&) = delete;
  OutgoingArguments& operator=(const OutgoingArguments&) = delete;

  VARIANT* operator[](size_t i) { return &variants_[i]; }

  // Only what the callee wrote comes back.
  void ReadBack() {
    for (size_t i = 0; i < values_.size(); ++i) {
      if (!Rewritten(sent_[i], variants_[i])) continue;
      Check(ReadVariant(variants_[i], *values_[i]), "Tipos incompatíveis");
    }
  }

 private:
  std::vector<Variant*> values_;
  std::vector<VARIANT> variants_;  // owned
  std::vector<VARIANT> sent_;      // their bytes as sent, owning nothing
};

// The arguments that every emulation shares: the kind and connection texts,
// the SQL text it writes, the caller's message and the internet user.
class EmulationArguments {
 public:
  EmulationArguments(const std::string& kind, const std::string& connection, const std::string& sql,
                     const Variant& message, const Variant& user)
      : kind_(kind), connection_(connection), sql_(sql) {
    Check(MakeVariant(message, *message_.get()), "Tipos incompatíveis");
    Check(MakeVariant(user, *user_.get()), "Tipos incompatíveis");
    sent_message_ = *message_;
  }

  BSTR kind() const { return kind_.get(); }
  BSTR connection() const { return connection_.get(); }
  BSTR* sql() { return sql_.Address(); }
  VARIANT* message() { return message_.get(); }
  VARIANT* user() { return user_.get(); }
  VARIANT_BOOL* result() { return &result_; }

  // The emulation's answer, after its SQL text and (when it wrote one) its
  // message are copied back.
  bool Finish(HRESULT hr, std::string& sql, Variant& message) {
    Check(hr);
    sql = sql_.Utf8();
    if (Rewritten(sent_message_, *message_)) {
      Check(ReadVariant(*message_, message), "Tipos incompatíveis");
    }
    return result_ != VARIANT_FALSE;
  }

 private:
  Bstr kind_;
  Bstr connection_;
  Bstr sql_;
  OwnedVariant message_;
  OwnedVariant user_;
  VARIANT sent_message_{};
  VARIANT_BOOL result_ = VARIANT_FALSE;
};

// A whole number passed by reference: a LONG in the table, an int32_t here.
// What the callee leaves in it is copied back when the argument goes, after
// the call.
class LongArgument {
 public:
  explicit LongArgument(int32_t& target) : target_(target), value_(target) {}
  ~LongArgument() { target_ = value_; }
  LongArgument(const LongArgument&) = delete;
  LongArgument& operator=(const LongArgument&) = delete;

  LONG* get() { return &value_; }

 private:
  int32_t& target_;
  LONG value_;
};

}  // namespace

bool RoutedCnh::mBusca_Cliente(Variant& invntBanco_Dados, Variant& vntConecta_db,
                               Variant& invntUsuario_internet_id, Variant& invntCliente_id,
                               Variant& outvntCliente, Variant& outvntCgc_Cpf_Cliente,
                               Variant& outvntIndic_pf_pj_Cliente, Variant& outvntMsg_Ret) {
  OutgoingArguments arguments({&invntBanco_Dados, &vntConecta_db, &invntUsuario_internet_id,
                               &invntCliente_id, &outvntCliente, &outvntCgc_Cpf_Cliente,
                               &outvntIndic_pf_pj_Cliente, &outvntMsg_Ret});
  VARIANT_BOOL result = VARIANT_FALSE;
  Check(self_->mBusca_Cliente(arguments[0], arguments[1], arguments[2], arguments[3], arguments[4],
                              arguments[5], arguments[6], arguments[7], &result));
  arguments.ReadBack();
  return result != VARIANT_FALSE;
}

bool RoutedCnh::mConsiste_Campos(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
    Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id,
    Variant& invntEnd_Remetente_id, Variant& invntEnd_Destinatario_id, Variant& invntCliente_id,
    Variant& invntOrigem_id, Variant& invntDestino_id, Variant& invntPeso_Total,
    Variant& invntNum_Volume, Variant& invntValor_Declarado, Variant& invntQtde_Notas,
    Variant& invntData_Emissao, Variant& invntDocto_Transporte_id,
    Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
    Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret) {
  OutgoingArguments arguments({&invntBanco_Dados,
                               &vntConecta_db,
                               &invntUsuario_internet_id,
                               &invntEmpresa_id,
                               &invntGrupo_Empresa_id,
                               &invntNum_Docto_Transporte,
                               &invntPonto_Operacao_id,
                               &invntTab_Tipo_Cobranca_id,
                               &invntEnd_Remetente_id,
                               &invntEnd_Destinatario_id,
                               &invntCliente_id,
                               &invntOrigem_id,
                               &invntDestino_id,
                               &invntPeso_Total,
                               &invntNum_Volume,
                               &invntValor_Declarado,
                               &invntQtde_Notas,
                               &invntData_Emissao,
                               &invntDocto_Transporte_id,
                               &invntPonto_Operacao_Destino_id,
                               &invnttab_tipo_despacho_id,
                               &invntTab_Tipo_Docto_Transp_id,
                               &outvntMsg_Ret});
  VARIANT_BOOL result = VARIANT_FALSE;
  Check(self_->mConsiste_Campos(
      arguments[0], arguments[1], arguments[2], arguments[3], arguments[4], arguments[5],
      arguments[6], arguments[7], arguments[8], arguments[9], arguments[10], arguments[11],
      arguments[12], arguments[13], arguments[14], arguments[15], arguments[16], arguments[17],
      arguments[18], arguments[19], arguments[20], arguments[21], arguments[22], &result));
  arguments.ReadBack();
  return result != VARIANT_FALSE;
}

bool RoutedCnh::mConsulta_Nota_Fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                      Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                      Variant& invntGrupo_Empresa_id,
                                      Variant& invntDocto_Transporte_id, Variant& outvntQtde_Notas,
                                      Variant& outarrvntNota_Fiscal, Variant& outarrvntConteudo,
                                      Variant& outarrvntNum_Volume, Variant& outarrvntVal_Declarado,
                                      Variant& outvntMsg_Ret) {
  OutgoingArguments arguments({&invntBanco_Dados, &vntConecta_db, &invntUsuario_internet_id,
                               &invntEmpresa_id, &invntGrupo_Empresa_id, &invntDocto_Transporte_id,
                               &outvntQtde_Notas, &outarrvntNota_Fiscal, &outarrvntConteudo,
                               &outarrvntNum_Volume, &outarrvntVal_Declarado, &outvntMsg_Ret});
  VARIANT_BOOL result = VARIANT_FALSE;
  Check(self_->mConsulta_Nota_Fiscal(arguments[0], arguments[1], arguments[2], arguments[3],
                                     arguments[4], arguments[5], arguments[6], arguments[7],
                                     arguments[8], arguments[9], arguments[10], arguments[11],
                                     &result));
  arguments.ReadBack();
  return result != VARIANT_FALSE;
}

bool RoutedCnh::mGrava_Nota_fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                   Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                   Variant& invntDocto_Transporte_id, Variant& invntQtde_Notas,
                                   Variant& inarrvntNota_fiscal, Variant& inarrvntConteudo,
                                   Variant& inarrvntVal_Declarado, Variant& inarrvntNum_Volume,
                                   Variant& outvntMsg_Ret) {
  OutgoingArguments arguments({&invntBanco_Dados, &vntConecta_db, &invntUsuario_internet_id,
                               &invntEmpresa_id, &invntDocto_Transporte_id, &invntQtde_Notas,
                               &inarrvntNota_fiscal, &inarrvntConteudo, &inarrvntVal_Declarado,
                               &inarrvntNum_Volume, &outvntMsg_Ret});
  VARIANT_BOOL result = VARIANT_FALSE;
  Check(self_->mGrava_Nota_fiscal(arguments[0], arguments[1], arguments[2], arguments[3],
                                  arguments[4], arguments[5], arguments[6], arguments[7],
                                  arguments[8], arguments[9], arguments[10], &result));
  arguments.ReadBack();
  return result != VARIANT_FALSE;
}

bool RoutedCnh::mVerifica_Dupli_Num_Docto(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
    Variant& invntPonto_Operacao_id, Variant& invntDocto_Transporte_id,
    Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret) {
  OutgoingArguments arguments({&invntBanco_Dados, &vntConecta_db, &invntUsuario_internet_id,
                               &invntEmpresa_id, &invntGrupo_Empresa_id, &invntNum_Docto_Transporte,
                               &invntPonto_Operacao_id, &invntDocto_Transporte_id,
                               &invntTab_Tipo_Docto_Transp_id, &outvntMsg_Ret});
  VARIANT_BOOL result = VARIANT_FALSE;
  Check(self_->mVerifica_Dupli_Num_Docto(arguments[0], arguments[1], arguments[2], arguments[3],
                                         arguments[4], arguments[5], arguments[6], arguments[7],
                                         arguments[8], arguments[9], &result));
  arguments.ReadBack();
  return result != VARIANT_FALSE;
}

bool RoutedCnh::mTrataSP_TMX_CON_DATA_SERVIDOR(const std::string& kind,
                                               const std::string& connection, std::string& sql,
                                               Variant& message, const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  return common.Finish(
      self_->mTrataSP_TMX_CON_DATA_SERVIDOR(common.kind(), common.connection(), common.sql(),
                                            common.message(), common.user(), common.result()),
      sql, message);
}

bool RoutedCnh::mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string& connection,
                                            int32_t& branch, std::string& sql, Variant& message,
                                            const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument branch_argument(branch);
  return common.Finish(self_->mTrataSP_TMX_CON_EMPRESA_OP(
                           common.kind(), common.connection(), branch_argument.get(), common.sql(),
                           common.message(), common.user(), common.result()),
                       sql, message);
}

bool RoutedCnh::mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(const std::string& kind,
                                                    const std::string& connection, int32_t& number,
                                                    const std::string& start,
                                                    const std::string& end, int32_t& company,
                                                    std::string& sql, Variant& message,
                                                    const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument number_argument(number);
  const Bstr start_text(start);
  const Bstr end_text(end);
  LongArgument company_argument(company);
  return common.Finish(self_->mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(
                           common.kind(), common.connection(), number_argument.get(),
                           start_text.get(), end_text.get(), company_argument.get(), common.sql(),
                           common.message(), common.user(), common.result()),
                       sql, message);
}

bool RoutedCnh::mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(const std::string& kind,
                                                       const std::string& connection,
                                                       int32_t& document, int32_t& company,
                                                       std::string& sql, Variant& message,
                                                       const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument document_argument(document);
  LongArgument company_argument(company);
  return common.Finish(
      self_->mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(
          common.kind(), common.connection(), document_argument.get(), company_argument.get(),
          common.sql(), common.message(), common.user(), common.result()),
      sql, message);
}

bool RoutedCnh::mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(const std::string& kind,
                                                      const std::string& connection,
                                                      int32_t& document, std::string& sql,
                                                      Variant& message, const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument document_argument(document);
  return common.Finish(self_->mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(
                           common.kind(), common.connection(), document_argument.get(),
                           common.sql(), common.message(), common.user(), common.result()),
                       sql, message);
}

bool RoutedCnh::mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
    const std::string& kind, const std::string& connection, int32_t& company, int32_t& number,
    int32_t& branch, int32_t& charging, int32_t& client, int32_t& recipient, int32_t& sender,
    int32_t& origin, int32_t& destination, double& weight, double& value, const std::string& issued,
    int32_t& destination_branch, int32_t& dispatch, int32_t& delivery, int32_t& volumes,
    std::string& sql, Variant& message, const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument company_argument(company);
  LongArgument number_argument(number);
  LongArgument branch_argument(branch);
  LongArgument charging_argument(charging);
  LongArgument client_argument(client);
  LongArgument recipient_argument(recipient);
  LongArgument sender_argument(sender);
  LongArgument origin_argument(origin);
  LongArgument destination_argument(destination);
  const Bstr issued_text(issued);
  LongArgument destination_branch_argument(destination_branch);
  LongArgument dispatch_argument(dispatch);
  LongArgument delivery_argument(delivery);
  LongArgument volumes_argument(volumes);
  return common.Finish(
      self_->mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
          common.kind(), common.connection(), company_argument.get(), number_argument.get(),
          branch_argument.get(), charging_argument.get(), client_argument.get(),
          recipient_argument.get(), sender_argument.get(), origin_argument.get(),
          destination_argument.get(), &weight, &value, issued_text.get(),
          destination_branch_argument.get(), dispatch_argument.get(), delivery_argument.get(),
          volumes_argument.get(), common.sql(), common.message(), common.user(), common.result()),
      sql, message);
}

bool RoutedCnh::mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
    const std::string& kind, const std::string& connection, int32_t& document, int32_t& company,
    int32_t& number, int32_t& branch, int32_t& charging, int32_t& client, int32_t& recipient,
    int32_t& sender, int32_t& origin, int32_t& destination, double& weight, double& value,
    const std::string& issued, int32_t& destination_branch, int32_t& dispatch, int32_t& volumes,
    std::string& sql, Variant& message, const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument document_argument(document);
  LongArgument company_argument(company);
  LongArgument number_argument(number);
  LongArgument branch_argument(branch);
  LongArgument charging_argument(charging);
  LongArgument client_argument(client);
  LongArgument recipient_argument(recipient);
  LongArgument sender_argument(sender);
  LongArgument origin_argument(origin);
  LongArgument destination_argument(destination);
  const Bstr issued_text(issued);
  LongArgument destination_branch_argument(destination_branch);
  LongArgument dispatch_argument(dispatch);
  LongArgument volumes_argument(volumes);
  return common.Finish(
      self_->mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
          common.kind(), common.connection(), document_argument.get(), company_argument.get(),
          number_argument.get(), branch_argument.get(), charging_argument.get(),
          client_argument.get(), recipient_argument.get(), sender_argument.get(),
          origin_argument.get(), destination_argument.get(), &weight, &value, issued_text.get(),
          destination_branch_argument.get(), dispatch_argument.get(), volumes_argument.get(),
          common.sql(), common.message(), common.user(), common.result()),
      sql, message);
}

bool RoutedCnh::mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(const std::string& kind,
                                                      const std::string& connection,
                                                      int32_t& client, std::string& sql,
                                                      Variant& message, const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument client_argument(client);
  return common.Finish(self_->mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(
                           common.kind(), common.connection(), client_argument.get(), common.sql(),
                           common.message(), common.user(), common.result()),
                       sql, message);
}

bool RoutedCnh::mTrataSP_TMX_CON_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                            int32_t& company, int32_t& document, std::string& sql,
                                            Variant& message, const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument company_argument(company);
  LongArgument document_argument(document);
  return common.Finish(
      self_->mTrataSP_TMX_CON_NF_CONHEC2(common.kind(), common.connection(), company_argument.get(),
                                         document_argument.get(), common.sql(), common.message(),
                                         common.user(), common.result()),
      sql, message);
}

bool RoutedCnh::mTrataSP_TMX_EXC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                            int32_t& document, int32_t& user, std::string& sql,
                                            Variant& message, const Variant& user_text) {
  EmulationArguments common(kind, connection, sql, message, user_text);
  LongArgument document_argument(document);
  LongArgument user_argument(user);
  return common.Finish(
      self_->mTrataSP_TMX_EXC_NF_CONHEC2(common.kind(), common.connection(),
                                         document_argument.get(), user_argument.get(), common.sql(),
                                         common.message(), common.user(), common.result()),
      sql, message);
}

bool RoutedCnh::mTrataSP_TMX_INC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                            int32_t& company, const std::string& invoice,
                                            const std::string& contents, double& value,
                                            int32_t& volumes, int32_t& document, std::string& sql,
                                            Variant& message, const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument company_argument(company);
  const Bstr invoice_text(invoice);
  const Bstr contents_text(contents);
  LongArgument volumes_argument(volumes);
  LongArgument document_argument(document);
  return common.Finish(
      self_->mTrataSP_TMX_INC_NF_CONHEC2(
          common.kind(), common.connection(), company_argument.get(), invoice_text.get(),
          contents_text.get(), &value, volumes_argument.get(), document_argument.get(),
          common.sql(), common.message(), common.user(), common.result()),
      sql, message);
}

bool RoutedCnh::mTrataSP_TMX_VER_DUPL_NUM_DOCTO(const std::string& kind,
                                                const std::string& connection, int32_t& number,
                                                int32_t& branch, int32_t& document,
                                                std::string& sql, Variant& message,
                                                const Variant& user) {
  EmulationArguments common(kind, connection, sql, message, user);
  LongArgument number_argument(number);
  LongArgument branch_argument(branch);
  LongArgument document_argument(document);
  return common.Finish(
      self_->mTrataSP_TMX_VER_DUPL_NUM_DOCTO(
          common.kind(), common.connection(), number_argument.get(), branch_argument.get(),
          document_argument.get(), common.sql(), common.message(), common.user(), common.result()),
      sql, message);
}
}  // namespace tmxcnh::com
