#include "db/statement.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "platform/run_time_error.h"

namespace tmxcnh::db {
namespace {

[[noreturn]] void Refuse(const std::string& why, const std::string& text) {
  throw RunTimeError(kErrStatementRefused, "Comando SQL recusado (" + why + "): " + text);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Reads `exec NAME literal, literal, ...` from the position after "exec".
class CallReader {
 public:
  CallReader(const std::string& text, size_t pos) : text_(text), pos_(pos) {}

  ProcedureCall Read() {
    ProcedureCall call;
    SkipBlanks();
    call.name = ReadName();
    SkipBlanks();
    if (AtEnd()) return call;
    // One more argument than commas, or fewer where a text holds a comma.
    call.arguments.reserve(1 +
                           static_cast<size_t>(std::count(text_.begin() + pos_, text_.end(), ',')));
    for (;;) {
      call.arguments.push_back(ReadLiteral());
      SkipBlanks();
      if (AtEnd()) return call;
      if (text_[pos_] != ',') Refuse("valor que não é literal", text_);
      ++pos_;
      SkipBlanks();
    }
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }

  std::string ReadName() {
    const size_t start = pos_;
    for (;;) {
      if (AtEnd() || !IsIdentifierStart(text_[pos_]))
        Refuse("nome de procedimento inválido", text_);
      while (!AtEnd() && IsIdentifierChar(text_[pos_])) ++pos_;
      if (AtEnd() || text_[pos_] != '.') return text_.substr(start, pos_ - start);
      ++pos_;
    }
  }

  SqlLiteral ReadLiteral() {
    if (AtEnd()) Refuse("valor ausente", text_);
    const char c = text_[pos_];
    if (c == '\'') return ReadText();
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
      return ReadNumber();
    }
    if (text_.compare(pos_, 4, "null") == 0 || text_.compare(pos_, 4, "NULL") == 0 ||
        text_.compare(pos_, 4, "Null") == 0) {
      if (pos_ + 4 == text_.size() || !IsIdentifierChar(text_[pos_ + 4])) {
        pos_ += 4;
        return {SqlLiteral::Kind::kNull, ""};
      }
    }
    Refuse("valor que não é literal", text_);
  }

  SqlLiteral ReadText() {
    std::string value;
    ++pos_;  // opening quote
    for (;;) {
      if (AtEnd()) Refuse("aspas sem fechamento", text_);
      const char c = text_[pos_++];
      if (c != '\'') {
        value += c;
      } else if (!AtEnd() && text_[pos_] == '\'') {
        value += '\'';
        ++pos_;
      } else {
        return {SqlLiteral::Kind::kText, value};
      }
    }
  }

  // A number with an optional fraction and exponent ("12", "-0.5", "1e3",
  // "1E-05"); handed on in plain decimal form, which every engine reads with
  // the type of its parameter.
  SqlLiteral ReadNumber() {
    const size_t start = pos_;
    std::string sign;
    if (text_[pos_] == '-' || text_[pos_] == '+') sign = text_[pos_++];
    const std::string whole = ReadDigits();
    std::string fraction;
    if (!AtEnd() && text_[pos_] == '.') {
      ++pos_;
      fraction = ReadDigits();
    }
    if (whole.empty() && fraction.empty()) Refuse("valor que não é literal", text_);
    if (!AtEnd() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      int exponent_sign = 1;
      if (!AtEnd() && (text_[pos_] == '-' || text_[pos_] == '+')) {
        if (text_[pos_++] == '-') exponent_sign = -1;
      }
      const std::string exponent = ReadDigits();
      if (exponent.empty() || exponent.size() > 3) Refuse("valor que não é literal", text_);
      EndOfLiteral();
      return {SqlLiteral::Kind::kNumber,
              sign + PlainDecimal(whole, fraction, exponent_sign * std::stoi(exponent))};
    }
    EndOfLiteral();
    return {SqlLiteral::Kind::kNumber, text_.substr(start, pos_ - start)};
  }

  std::string ReadDigits() {
    const size_t start = pos_;
    while (!AtEnd() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  void EndOfLiteral() {
    if (!AtEnd() && IsIdentifierChar(text_[pos_])) Refuse("valor que não é literal", text_);
  }

  // whole.fraction times ten to the exponent, without an exponent.
  static std::string PlainDecimal(const std::string& whole, const std::string& fraction,
                                  int exponent) {
    std::string digits = whole + fraction;
    const long point = static_cast<long>(whole.size()) + exponent;
    std::string out;
    if (point <= 0) {
      out = "0." + std::string(static_cast<size_t>(-point), '0') + digits;
    } else if (static_cast<size_t>(point) >= digits.size()) {
      out = digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
    } else {
      out = digits.substr(0, static_cast<size_t>(point)) + "." +
            digits.substr(static_cast<size_t>(point));
    }
    const size_t first = out.find_first_not_of('0');
    if (first == std::string::npos) return "0";
    if (out[first] == '.') return out.substr(first - 1);
    return out.substr(first);
  }

  const std::string& text_;
  size_t pos_;
};

// The characters the inline reader stops at; a table, as every character of
// every statement is looked up.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> special{};
  for (const char c : std::string_view("'\"-/;$`[")) special[static_cast<unsigned char>(c)] = true;
  return special;
}();

bool IsSpecial(char c) { return kSpecial[static_cast<unsigned char>(c)]; }

// A quote that opens a string of another reading than '...': E'\n' and U&'\0041'
// (PostgreSQL), q'[...]' (Oracle).
bool OpensOtherString(const std::string& text, size_t quote) {
  if (quote == 0) return false;
  const char before = text[quote - 1];
  if (before == '&') return true;
  const bool prefix = before == 'E' || before == 'e' || before == 'Q' || before == 'q';
  return prefix && (quote == 1 || !IsIdentifierChar(text[quote - 2]));
}

// One inline statement: quotes balanced, no comment, nothing after a ";".
void CheckInline(const std::string& text) {
  // A statement says something when its first character that is not a blank
  // is not the ";" that would end it.
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  const bool any = first != text.end() && *first != ';';
  size_t i = 0;
  while (i < text.size()) {
    // Most of a statement is none of the characters that matter here.
    while (i < text.size() && !IsSpecial(text[i])) ++i;
    if (i >= text.size()) break;
    const char c = text[i];
    // Dollar quoting, backquoted and bracketed names: quotings the reader
    // does not follow are refused rather than misread.
    if (c == '$' || c == '`' || c == '[') Refuse("citação desconhecida", text);
    if (c == '\'' && OpensOtherString(text, i)) Refuse("citação desconhecida", text);
    if (c == '\'' || c == '"') {
      const size_t close = text.find(c, i + 1);
      if (close == std::string::npos) Refuse("aspas sem fechamento", text);
      i = close + 1;  // a doubled quote simply opens the next quoted run
      continue;
    }
    if ((c == '-' && i + 1 < text.size() && text[i + 1] == '-') ||
        (c == '/' && i + 1 < text.size() && text[i + 1] == '*')) {
      Refuse("comentário", text);
    }
    if (c == ';') {
      for (size_t k = i + 1; k < text.size(); ++k) {
        if (!IsBlank(text[k])) Refuse("mais de um comando", text);
      }
      break;
    }
    ++i;
  }
  if (!any) Refuse("comando vazio", text);
}

bool StartsWithExec(const std::string& text, size_t* after) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (text.size() < i + 5) return false;
  for (size_t k = 0; k < 4; ++k) {
    if (std::tolower(static_cast<unsigned char>(text[i + k])) != "exec"[k]) return false;
  }
  if (!IsBlank(text[i + 4])) return false;
  *after = i + 4;
  return true;
}

}  // namespace

Statement ParseStatement(const std::string& text) {
  Statement statement;
  statement.text = text;
  size_t after = 0;
  if (StartsWithExec(text, &after)) {
    statement.call = CallReader(text, after).Read();
  } else {
    CheckInline(text);
  }
  return statement;
}

}  // namespace tmxcnh::db
