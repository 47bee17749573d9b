#include "db/locks.h"

#ifdef TMXCNH_WITH_SQLITE
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <array>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

constexpr size_t kLockStripes = 16;

// The statement that makes a transaction hold the counters' table
// exclusively; SQLite's transaction holds the database's write lock already.
const char* CounterLockStatement(Engine engine) {
  switch (engine) {
    case Engine::kPostgreSql:
    case Engine::kOracle:
      return "LOCK TABLE INFRA_IDS IN EXCLUSIVE MODE";
    case Engine::kSqlServer:
      return "SELECT COUNT(*) FROM INFRA_IDS WITH (TABLOCKX, HOLDLOCK)";
    default:
      return nullptr;
  }
}

#ifdef TMXCNH_WITH_SQLITE
// Opens and locks the file at path. The holder removes the file before it
// lets go, so nothing stays beside the database: a waiter that then gets the
// lock on the removed file tries again on the path.
int LockFile(const std::string& path) {
  for (;;) {
    const int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) throw RunTimeError(kErrConnectionFailed, "Não foi possível travar " + path);
    struct stat locked {};
    struct stat named {};
    if (::flock(file, LOCK_EX) != 0 || ::fstat(file, &locked) != 0) {
      ::close(file);
      throw RunTimeError(kErrConnectionFailed, "Não foi possível travar " + path);
    }
    if (::stat(path.c_str(), &named) == 0 && named.st_ino == locked.st_ino &&
        named.st_dev == locked.st_dev) {
      return file;
    }
    ::close(file);
  }
}
#endif

std::mutex& ProcessStripe(size_t hash) {
  static std::array<std::mutex, kLockStripes> stripes;
  return stripes[hash % kLockStripes];
}

}  // namespace

CounterTransaction::CounterTransaction(const std::string& connection_text)
    : object_(ConnectionObject::FromPool(connection_text)), connection_(Variant::Object(object_)) {
  object_->BeginTransaction();
  open_ = true;
  if (const char* lock = CounterLockStatement(object_->engine())) object_->ExecuteVerbatim(lock);
}

CounterTransaction::~CounterTransaction() {
  if (!open_) return;
  try {
    object_->Rollback();
  } catch (const RunTimeError&) {
    // The pool resets the connection before anyone reuses it.
  }
}

void CounterTransaction::Commit() {
  open_ = false;
  object_->Commit();
}

struct NamedLock::Held {
  std::shared_ptr<ConnectionObject> object;  // PostgreSQL: the session holding the lock
  std::string unlock;
  std::string path;                         // SQLite: the lock file, removed on release
  int file = -1;                            // SQLite: the locked file
  std::unique_lock<std::mutex> in_process;  // other engines
  std::optional<SessionPin> pin;            // PostgreSQL: the statements run under the lock
};

NamedLock::NamedLock(const std::string& connection_text, const std::string& name)
    : held_(std::make_unique<Held>()) {
  const size_t hash = std::hash<std::string>{}(name);
#ifdef TMXCNH_WITH_SQLITE
  const ConnectionText text(connection_text);
  if (text::SameNameIgnoringCase(text.Get("Driver"), "SQLite3")) {
    held_->path = text.Get("Database") + ".lock" + std::to_string(hash % kLockStripes);
    held_->file = LockFile(held_->path);
    return;
  }
#endif
  held_->object = ConnectionObject::FromPool(connection_text);
  if (held_->object->engine() == Engine::kPostgreSql) {
    const std::string key = std::to_string(static_cast<int64_t>(hash & 0x7FFFFFFFFFFFFFFF));
    held_->object->ExecuteVerbatim("SELECT pg_advisory_lock(" + key + ")");
    held_->unlock = "SELECT pg_advisory_unlock(" + key + ")";
    // A session lock dies with its session, and a waiter then goes on: the
    // holder's statements run on that session, so they fail with it rather
    // than interleave with the waiter's.
    held_->pin.emplace(held_->object);
    return;
  }
  held_->object.reset();
  held_->in_process = std::unique_lock<std::mutex>(ProcessStripe(hash));
}

NamedLock::~NamedLock() {
  held_->pin.reset();
#ifdef TMXCNH_WITH_SQLITE
  if (held_->file >= 0) {
    ::unlink(held_->path.c_str());
    ::flock(held_->file, LOCK_UN);
    ::close(held_->file);
  }
#endif
  if (held_->object && !held_->unlock.empty()) {
    try {
      held_->object->ExecuteVerbatim(held_->unlock);
    } catch (const RunTimeError&) {
      // The pool's reset (DISCARD ALL) releases it too.
    }
  }
}

}  // namespace tmxcnh::db
