// A database for tests that records every statement the component sends,
// answers canned rows, and fails at the statement you choose. Its connection
// text is "Driver=Scripted;Name=<unique name>". Given a real database's
// connection text it answers nothing itself: what does not fail runs there,
// so that a test can see what stays written when a statement fails.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"

namespace tmxcnh::testing {

// A result set from column names and rows.
db::ResultSet Rows(std::vector<std::string> columns, std::vector<std::vector<Variant>> rows = {});
// A result set's rows, each as a vector, to compare whole rows.
std::vector<std::vector<Variant>> RowsOf(const db::ResultSet& result);

class ScriptedDatabase {
 public:
  explicit ScriptedDatabase(std::string real_connection_text = "");
  ~ScriptedDatabase();
  ScriptedDatabase(const ScriptedDatabase&) = delete;
  ScriptedDatabase& operator=(const ScriptedDatabase&) = delete;

  const std::string& connection_text() const { return connection_text_; }
  const std::string& real_connection_text() const { return real_; }

  // Statements whose text contains `fragment` answer `rows` (the first
  // matching rule wins). Unmatched statements answer nothing when they write
  // (INSERT, UPDATE, DELETE) and an empty result set otherwise.
  void Answer(const std::string& fragment, db::ResultSet rows);
  // The n-th statement (1-based) fails with the given message.
  void FailAt(int n, const std::string& message = "falha simulada");

  // Every statement sent, in order, as the component wrote it.
  std::vector<std::string> statements() const;
  // Those that begin with the given text.
  std::vector<std::string> StatementsStartingWith(const std::string& prefix) const;

  // Used by the driver.
  std::optional<db::ResultSet> Run(const db::Statement& statement);

 private:
  struct Rule {
    std::string fragment;
    std::optional<db::ResultSet> rows;
  };
  mutable std::mutex mutex_;
  std::string name_;
  std::string connection_text_;
  std::string real_;
  std::vector<Rule> rules_;
  std::map<int, std::string> failures_;
  std::vector<std::string> statements_;
};

}  // namespace tmxcnh::testing
