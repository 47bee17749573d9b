// The connection texts that Windows callers write for ADO, turned into ODBC
// texts: ADO's provider for ODBC passes its keys on under their ODBC names,
// and the OLE DB providers of SQL Server and Oracle are served by those
// databases' ODBC drivers.
#include <cctype>
#include <cstdlib>

#include "db/connection.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

enum class Provider { kOdbc, kSqlServer, kOracle, kOther };

// The provider's name without its version ("MSDASQL.1", "SQLOLEDB.1").
Provider ProviderOf(const std::string& name) {
  std::string upper = text::UpperAscii(name);
  while (!upper.empty() &&
         (std::isdigit(static_cast<unsigned char>(upper.back())) || upper.back() == '.')) {
    upper.pop_back();
  }
  if (upper.empty() || upper == "MSDASQL") return Provider::kOdbc;
  if (upper == "SQLOLEDB" || upper.rfind("SQLNCLI", 0) == 0 || upper.rfind("MSOLEDBSQL", 0) == 0) {
    return Provider::kSqlServer;
  }
  if (upper == "MSDAORA" || upper == "ORAOLEDB.ORACLE") return Provider::kOracle;
  return Provider::kOther;
}

// Keys that ADO reads itself and never hands to a driver.
bool IsAdoOnly(const std::string& key) {
  return key == "PROVIDER" || key == "PERSIST SECURITY INFO" || key == "EXTENDED PROPERTIES" ||
         key == "INTEGRATED SECURITY";
}

// ADO's name of a key, in ODBC's words.
std::string OdbcKey(const std::string& key) {
  if (key == "DATA SOURCE") return "DSN";
  if (key == "INITIAL CATALOG") return "DATABASE";
  if (key == "USER ID") return "UID";
  if (key == "PASSWORD") return "PWD";
  return key;
}

bool IsAdoText(const ConnectionText& text) {
  for (const auto& entry : text.entries()) {
    if (IsAdoOnly(entry.first) || OdbcKey(entry.first) != entry.first) return true;
  }
  return false;
}

// key=value; with the value braced where ODBC needs it.
std::string Pair(const std::string& key, const std::string& value) {
  const bool brace = value.find_first_of(";{}") != std::string::npos ||
                     (!value.empty() && (value.front() == ' ' || value.back() == ' '));
  return key + "=" + (brace ? "{" + value + "}" : value) + ";";
}

std::string Credentials(const ConnectionText& text) {
  const std::string integrated = text::UpperAscii(text.Get("Integrated Security"));
  if (integrated == "SSPI" || integrated == "TRUE" || integrated == "YES") {
    return "Trusted_Connection=Yes;";
  }
  std::string out;
  if (text.Has("User ID")) out += Pair("UID", text.Get("User ID"));
  if (text.Has("Password")) out += Pair("PWD", text.Get("Password"));
  return out;
}

std::string Setting(const char* variable, const char* usual) {
  const char* value = std::getenv(variable);
  return value && *value ? value : usual;
}

}  // namespace

std::string SqlServerOdbcDriver() {
#ifdef _WIN32
  return Setting("TMXCNH_SQLSERVER_DRIVER", "SQL Server");
#else
  return Setting("TMXCNH_SQLSERVER_DRIVER", "FreeTDS");
#endif
}

std::string OracleOdbcDriver() {
#ifdef _WIN32
  return Setting("TMXCNH_ORACLE_DRIVER", "Oracle in OraClient19Home1");
#else
  return Setting("TMXCNH_ORACLE_DRIVER", "Oracle 19 ODBC driver");
#endif
}

std::string ConnectionText::ForOdbc() const {
  if (!IsAdoText(*this)) return text_;
  const std::string provider = Get("Provider");
  switch (ProviderOf(provider)) {
    case Provider::kOdbc: {
      std::string out;
      for (const auto& [key, value] : entries_) {
        if (!IsAdoOnly(key)) out += Pair(OdbcKey(key), value);
      }
      // ADO hands the provider's own text on as it stands.
      const std::string extended = Get("Extended Properties");
      if (!extended.empty()) out += extended;
      return out;
    }
    case Provider::kSqlServer:
      return Pair("Driver", SqlServerOdbcDriver()) + Pair("Server", Get("Data Source")) +
             (Has("Initial Catalog") ? Pair("Database", Get("Initial Catalog")) : "") +
             Credentials(*this);
    case Provider::kOracle:
      return Pair("Driver", OracleOdbcDriver()) + Pair("DBQ", Get("Data Source")) +
             Credentials(*this);
    case Provider::kOther:
      break;
  }
  throw RunTimeError(kErrConnectionFailed,
                     "O provedor \"" + provider +
                         "\" não é atendido: use Provider=MSDASQL com um DSN ou um texto ODBC "
                         "(Driver=...), ou um dos provedores de SQL Server ou Oracle.");
}

}  // namespace tmxcnh::db
