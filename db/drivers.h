// Which driver opens a connection text: "Driver=SQLite3" is the embedded
// SQLite; a driver registered by name (tests register a scripted one) is that
// driver; any other text goes to ODBC.
#pragma once

#include <memory>
#include <string>

#include "db/connection.h"

namespace tmxcnh::db {

// Makes `Driver=<name>` texts open through driver. Registering a null driver
// removes the name again.
void RegisterDriver(const std::string& name, std::shared_ptr<Driver> driver);

// Opens a new connection for the text. Raises RunTimeError(kErrConnectionFailed).
std::unique_ptr<Connection> OpenConnection(const std::string& connection_text);

}  // namespace tmxcnh::db
