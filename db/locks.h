// Locks that serialise what the component's statements alone would let
// interleave: the identifier counters of INFRA_IDS, and the saving of one
// document's invoices. Each statement still commits on its own.
#pragma once

#include <memory>
#include <string>

#include "db/connection_object.h"

namespace tmxcnh::db {

// A transaction on a connection of its own that holds INFRA_IDS exclusively:
// the read and the write of a counter run inside it, so two allocations for
// one key never hand out the same identifier. Rolled back unless committed.
class CounterTransaction {
 public:
  // Raises RunTimeError when no connection can be opened or locked.
  explicit CounterTransaction(const std::string& connection_text);
  ~CounterTransaction();
  CounterTransaction(const CounterTransaction&) = delete;
  CounterTransaction& operator=(const CounterTransaction&) = delete;

  // The connection, as the active connection of the recordsets inside.
  const Variant& connection() const { return connection_; }
  void Commit();

 private:
  std::shared_ptr<ConnectionObject> object_;
  Variant connection_;
  bool open_ = false;
};

// A lock on a name within one database, held until destroyed: an advisory
// lock on PostgreSQL and a lock file beside a SQLite database (both across
// processes), a lock within this process on other engines. On PostgreSQL the
// holder's statements on that database run on the locking session (a
// SessionPin), so that a session ended by the server ends them too.
class NamedLock {
 public:
  NamedLock(const std::string& connection_text, const std::string& name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

 private:
  struct Held;
  std::unique_ptr<Held> held_;
};

}  // namespace tmxcnh::db
