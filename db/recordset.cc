#include "db/recordset.h"

#include <cctype>

#include "db/connection_object.h"
#include "db/pool.h"
#include "platform/conversions.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

std::optional<db::ResultSet> Run(const db::Statement& statement, const Variant& active_connection) {
  if (active_connection.IsObject()) {
    if (auto* object =
            dynamic_cast<db::ConnectionObject*>(active_connection.object_value().get())) {
      return object->Execute(statement);
    }
  }
  const std::string text = ToText(active_connection);
  if (auto pinned = db::ConnectionObject::Pinned(text)) return pinned->Execute(statement);
  db::ConnectionPool::Lease lease = db::ConnectionPool::Shared().Acquire(text);
  try {
    return lease->Execute(statement);
  } catch (...) {
    if (!lease->IsUsable()) lease.MarkBroken();
    throw;
  }
}

}  // namespace

void Recordset::Open(const Variant& source, const Variant& active_connection, int, int, int) {
  if (open_)
    throw RunTimeError(kErrObjectClosed, "Operation is not allowed when the object is open.");
  const db::Statement statement = db::ParseStatement(ToText(source));
  std::optional<db::ResultSet> result = Run(statement, active_connection);
  position_ = 0;
  open_ = result.has_value();
  result_ = result ? std::move(*result) : db::ResultSet{};
  found_.clear();
  next_found_ = 0;
}

void Recordset::RequireOpen() const {
  if (!open_) {
    throw RunTimeError(kErrObjectClosed, "Operation is not allowed when the object is closed.");
  }
}

void Recordset::RequireCurrentRow() const {
  RequireOpen();
  if (position_ >= result_.row_count()) {
    throw RunTimeError(kErrNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted. "
                       "Requested operation requires a current record.");
  }
}

bool Recordset::Eof() const {
  RequireOpen();
  return position_ >= result_.row_count();
}

int32_t Recordset::RecordCount() const {
  RequireOpen();
  return static_cast<int32_t>(result_.row_count());
}

void Recordset::MoveFirst() {
  RequireOpen();
  position_ = 0;
}

void Recordset::MoveLast() {
  RequireOpen();
  position_ = result_.row_count() == 0 ? 0 : result_.row_count() - 1;
}

void Recordset::MoveNext() {
  RequireCurrentRow();
  ++position_;
}

void Recordset::Close() {
  RequireOpen();
  open_ = false;
  result_ = db::ResultSet{};
  found_.clear();
}

size_t Recordset::ColumnIndex(std::string_view name) const {
  if (next_found_ < found_.size() && found_[next_found_].first == name) {
    const size_t c = found_[next_found_].second;
    next_found_ = (next_found_ + 1) % found_.size();
    return c;
  }
  // The first column of the name, as ADO finds it.
  for (size_t c = 0; c < result_.columns.size(); ++c) {
    if (result_.columns[c].size() == name.size() &&
        text::SameNameIgnoringCase(result_.columns[c], name)) {
      constexpr size_t kMaxFound = 64;
      // A single row's names are asked once each: nothing to remember.
      if (found_.size() < kMaxFound && result_.row_count() > 1) found_.emplace_back(name, c);
      next_found_ = 0;
      return c;
    }
  }
  throw RunTimeError(kErrItemNotFound,
                     "Item cannot be found in the collection corresponding to the requested name "
                     "or ordinal.");
}

size_t Recordset::CurrentValueIndex(std::string_view name) const {
  RequireOpen();
  const size_t c = ColumnIndex(name);
  RequireCurrentRow();
  return position_ * result_.columns.size() + c;
}

const Variant& Recordset::Field(std::string_view name) const {
  return result_.values[CurrentValueIndex(name)];
}

Variant Recordset::TakeField(std::string_view name) {
  Variant& field = result_.values[CurrentValueIndex(name)];
  Variant value = std::move(field);
  field = Variant();
  return value;
}

}  // namespace tmxcnh
