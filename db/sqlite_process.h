// SQLite's settings for the whole process, made once before the first
// connection opens.
#pragma once

namespace tmxcnh::db {

// Sets SQLite up for many threads reading at once: no memory statistics, and
// mutexes that spin a moment before they sleep. Does nothing where SQLite is
// already in use in the process (its settings can no longer change then).
// Safe to call from any thread, any number of times.
void ConfigureSqliteForThreads();

}  // namespace tmxcnh::db
