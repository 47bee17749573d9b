#include "db/drivers.h"

#include <cctype>
#include <map>
#include <mutex>

#include "platform/run_time_error.h"
#include "platform/text.h"

#ifdef TMXCNH_WITH_SQLITE
#include "db/sqlite_connection.h"
#endif
#ifdef TMXCNH_WITH_ODBC
#include "db/odbc_connection.h"
#endif

namespace tmxcnh::db {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<Driver>> by_name;  // upper-cased names
  std::shared_ptr<Driver> odbc;
};

Registry& TheRegistry() {
  static Registry* registry = [] {
    auto* r = new Registry;
#ifdef TMXCNH_WITH_SQLITE
    r->by_name["SQLITE3"] = MakeSqliteDriver();
#endif
#ifdef TMXCNH_WITH_ODBC
    r->odbc = MakeOdbcDriver();
#endif
    return r;
  }();
  return *registry;
}

}  // namespace

void RegisterDriver(const std::string& name, std::shared_ptr<Driver> driver) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  if (driver) {
    registry.by_name[text::UpperAscii(name)] = std::move(driver);
  } else {
    registry.by_name.erase(text::UpperAscii(name));
  }
}

std::unique_ptr<Connection> OpenConnection(const std::string& connection_text) {
  const ConnectionText text(connection_text);
  std::shared_ptr<Driver> driver;
  {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    const auto it = registry.by_name.find(text::UpperAscii(text.Get("Driver")));
    driver = it != registry.by_name.end() ? it->second : registry.odbc;
  }
  if (!driver) {
    throw RunTimeError(kErrConnectionFailed, "Nenhum driver para a conexão: " + text.Masked());
  }
  return driver->Open(text);
}

}  // namespace tmxcnh::db
