#include "db/dialect.h"

#include <cctype>
#include <vector>

#include "platform/text.h"

namespace tmxcnh::db {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// A piece of a statement: a quoted run, a word, or anything else, kept verbatim.
struct Piece {
  enum class Kind { kQuoted, kWord, kOther } kind;
  std::string_view text;
};

std::vector<Piece> Split(std::string_view sql) {
  std::vector<Piece> pieces;
  size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    size_t end = i + 1;
    Piece::Kind kind = Piece::Kind::kOther;
    if (c == '\'' || c == '"') {
      kind = Piece::Kind::kQuoted;
      const size_t close = sql.find(c, i + 1);
      end = close == std::string_view::npos ? sql.size() : close + 1;
    } else if (IsWordChar(c)) {
      kind = Piece::Kind::kWord;
      while (end < sql.size() && IsWordChar(sql[end])) ++end;
    }
    pieces.push_back({kind, sql.substr(i, end - i)});
    i = end;
  }
  return pieces;
}

bool IsWord(const Piece& piece, const char* word) {
  return piece.kind == Piece::Kind::kWord && text::UpperAscii(piece.text) == word;
}

// Index of the next piece that is not blank, or pieces.size().
size_t NextNonBlank(const std::vector<Piece>& pieces, size_t from) {
  while (from < pieces.size() && pieces[from].kind == Piece::Kind::kOther &&
         std::isspace(static_cast<unsigned char>(pieces[from].text[0]))) {
    ++from;
  }
  return from;
}

std::string ForOracle(const std::vector<Piece>& pieces) {
  std::string out;
  bool select = false;
  bool from = false;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (IsWord(pieces[i], "SELECT")) select = true;
    if (IsWord(pieces[i], "FROM")) from = true;
    // GETDATE ( ) is SQL Server's; Oracle says SYSDATE.
    if (IsWord(pieces[i], "GETDATE")) {
      const size_t open = NextNonBlank(pieces, i + 1);
      const size_t close = open < pieces.size() ? NextNonBlank(pieces, open + 1) : open;
      if (close < pieces.size() && pieces[open].text == "(" && pieces[close].text == ")") {
        out += "SYSDATE";
        i = close;
        continue;
      }
    }
    out += pieces[i].text;
  }
  if (select && !from) out += " FROM DUAL ";
  return out;
}

}  // namespace

std::string QuotedSqlText(std::string_view text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string PostgresCallText(const ProcedureCall& call) {
  std::string out = "SELECT * FROM " + call.name + "(";
  for (size_t i = 0; i < call.arguments.size(); ++i) {
    if (i > 0) out += ", ";
    const SqlLiteral& argument = call.arguments[i];
    if (argument.kind == SqlLiteral::Kind::kNull) {
      out += "NULL";
      continue;
    }
    // Quoted, so that PostgreSQL gives each value the type of its parameter.
    out += QuotedSqlText(argument.value);
  }
  return out + ")";
}

std::string AdaptInlineSql(std::string_view sql, Engine engine) {
  const std::vector<Piece> pieces = Split(sql);
  if (engine == Engine::kOracle) return ForOracle(pieces);
  if (engine != Engine::kPostgreSql && engine != Engine::kSqlite) return std::string(sql);
  std::string out;
  for (const Piece& piece : pieces) {
    if (IsWord(piece, "SYSDATE")) {
      out += engine == Engine::kPostgreSql ? "LOCALTIMESTAMP(0)" : "GETDATE()";
    } else if (engine == Engine::kPostgreSql && IsWord(piece, "TO_DATE")) {
      out += "TMX_TO_DATE";
    } else {
      out += piece.text;
    }
  }
  return out;
}

}  // namespace tmxcnh::db
