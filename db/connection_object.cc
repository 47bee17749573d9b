#include "db/connection_object.h"

#include "db/drivers.h"

namespace tmxcnh::db {

std::shared_ptr<ConnectionObject> ConnectionObject::Open(const std::string& connection_text) {
  return std::make_shared<ConnectionObject>(connection_text, OpenConnection(connection_text));
}

}  // namespace tmxcnh::db
