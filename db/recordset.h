// The recordset the methods open, with the operations and meanings of the
// data-access objects the component was written against: a client-side
// cursor that fetches the whole answer, so RecordCount is exact.
//
// The active connection is a connection text (the recordset takes a
// connection of its own from the pool) or a connection object that the
// caller opened (used directly). Every failure raises RunTimeError with the
// data-access layer's number and the engine's description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "platform/variant.h"

namespace tmxcnh {

inline constexpr int kUseClient = 3;     // cursor location
inline constexpr int kOpenStatic = 3;    // cursor type
inline constexpr int kLockReadOnly = 1;  // lock type
inline constexpr int kUnspecified = -1;  // cursor type, lock type, options

inline constexpr int kStateClosed = 0;
inline constexpr int kStateOpen = 1;

// Errors of the data-access layer itself.
inline constexpr int32_t kErrItemNotFound = 3265;
inline constexpr int32_t kErrObjectClosed = 3704;
inline constexpr int32_t kErrNoCurrentRecord = 3021;

class Recordset {
 public:
  Recordset() = default;

  void set_cursor_location(int location) { cursor_location_ = location; }
  int cursor_location() const { return cursor_location_; }

  // Runs source (an SQL text) on the active connection. A statement that
  // answers rows leaves the recordset open; one that answers none leaves it closed.
  void Open(const Variant& source, const Variant& active_connection, int cursor_type = kUnspecified,
            int lock_type = kUnspecified, int options = kUnspecified);

  int State() const { return open_ ? kStateOpen : kStateClosed; }
  bool Eof() const;
  int32_t RecordCount() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void Close();

  // The current row's value of a column, found by name without regard to
  // case; valid until the recordset moves or closes.
  const Variant& Field(std::string_view name) const;
  // The same value moved out of the row, for the loops that copy each column
  // of a row once: a later read of it in this row finds Empty.
  Variant TakeField(std::string_view name);

 private:
  void RequireOpen() const;
  void RequireCurrentRow() const;
  size_t ColumnIndex(std::string_view name) const;
  // Where the current row's value of a column is in the answer's array (the
  // recordset open, the column found, a current row: each a run-time error).
  size_t CurrentValueIndex(std::string_view name) const;

  int cursor_location_ = 2;  // the server-side default, until a method sets it
  bool open_ = false;
  db::ResultSet result_;
  size_t position_ = 0;
  // The columns found so far by the names asked (the first of a name, as
  // ADO finds it). Methods ask for the same names in the same order row after
  // row, so the search starts after the name asked last.
  mutable std::vector<std::pair<std::string, size_t>> found_;
  mutable size_t next_found_ = 0;
};

}  // namespace tmxcnh
