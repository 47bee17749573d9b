#include "db/sqlite_process.h"

#include <pthread.h>
#include <sqlite3.h>

#include <cstdlib>
#include <iterator>
#include <mutex>

namespace tmxcnh::db {
namespace {

#ifdef PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP

// Every connection to one database file in a process shares one mutex on the
// file's WAL index, taken as each read transaction starts and ends, and held
// for a few hundred instructions. With SQLite's own mutexes two threads that
// read at once put each other to sleep in the kernel some 40,000 times a
// second; glibc's adaptive mutex spins briefly first, which took mixed reads
// on two threads from 1.4x-1.7x of one thread to 1.8x-2.0x.
struct SpinningMutex {
  pthread_mutex_t mutex;
};

// SQLite's static mutexes are its ids 2 to 13.
SpinningMutex static_mutexes[12] = {
    {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP}, {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP},
    {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP}, {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP},
    {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP}, {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP},
    {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP}, {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP},
    {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP}, {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP},
    {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP}, {PTHREAD_ADAPTIVE_MUTEX_INITIALIZER_NP}};

SpinningMutex* Of(sqlite3_mutex* mutex) { return reinterpret_cast<SpinningMutex*>(mutex); }

int Initialize() { return SQLITE_OK; }
int End() { return SQLITE_OK; }

sqlite3_mutex* Allocate(int id) {
  if (id == SQLITE_MUTEX_FAST || id == SQLITE_MUTEX_RECURSIVE) {
    auto* made = static_cast<SpinningMutex*>(std::malloc(sizeof(SpinningMutex)));
    if (made == nullptr) return nullptr;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, id == SQLITE_MUTEX_RECURSIVE
                                               ? PTHREAD_MUTEX_RECURSIVE
                                               : PTHREAD_MUTEX_ADAPTIVE_NP);
    pthread_mutex_init(&made->mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    return reinterpret_cast<sqlite3_mutex*>(made);
  }
  const int index = id - 2;
  if (index < 0 || index >= static_cast<int>(std::size(static_mutexes))) return nullptr;
  return reinterpret_cast<sqlite3_mutex*>(&static_mutexes[index]);
}

void Free(sqlite3_mutex* mutex) {
  pthread_mutex_destroy(&Of(mutex)->mutex);
  std::free(Of(mutex));
}

void Enter(sqlite3_mutex* mutex) { pthread_mutex_lock(&Of(mutex)->mutex); }

// SQLite only tries a mutex to skip optional work, and lets a mutex system
// answer that it never can.
int Try(sqlite3_mutex*) { return SQLITE_BUSY; }

void Leave(sqlite3_mutex* mutex) { pthread_mutex_unlock(&Of(mutex)->mutex); }

void UseSpinningMutexes() {
  static sqlite3_mutex_methods methods = {Initialize, End,   Allocate, Free,   Enter,
                                          Try,        Leave, nullptr,  nullptr};
  sqlite3_config(SQLITE_CONFIG_MUTEX, &methods);
}

#else

void UseSpinningMutexes() {}

#endif

}  // namespace

void ConfigureSqliteForThreads() {
  static std::once_flag once;
  std::call_once(once, [] {
    // The memory statistics take a global mutex on every allocation, which
    // serialises threads that share nothing; the component reads none of them.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    UseSpinningMutexes();
  });
}

}  // namespace tmxcnh::db
