// The statement syntax of Firefox's preference files and the profiles.ini reader.
#include <cstdint>
#include <optional>

#include "firefox/firefox_prefs.h"
#include "platform/reg_text.h"

namespace corvanel::firefox {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}


enum class Tok { kEnd, kIdent, kString, kNumber, kPunct, kBad };

struct Token {
  Tok kind = Tok::kEnd;
  std::size_t begin = 0, end = 0;
  bool valid_string = true;  // a string whose escapes Firefox accepts
};

// The tokens of a preference file. Strings are scanned to their closing quote whatever
// they hold, so a ";" or ")" inside one never ends a statement.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : t_(text) {}

  std::size_t pos() const { return pos_; }

  Token Next() {
    SkipBlanks();
    Token tok;
    tok.begin = pos_;
    if (pos_ >= t_.size()) {
      tok.kind = Tok::kEnd;
      tok.end = pos_;
      return tok;
    }
    const char c = t_[pos_];
    if (IsIdentStart(c)) {
      while (pos_ < t_.size() && IsIdentChar(t_[pos_])) ++pos_;
      tok.kind = Tok::kIdent;
    } else if (c == '"' || c == '\'') {
      tok.kind = Tok::kString;
      tok.valid_string = ScanString(c);
    } else if (IsDigit(c) || ((c == '-' || c == '+') && pos_ + 1 < t_.size() && IsDigit(t_[pos_ + 1]))) {
      ++pos_;
      while (pos_ < t_.size() && IsDigit(t_[pos_])) ++pos_;
      tok.kind = Tok::kNumber;
    } else if (c == '(' || c == ')' || c == ',' || c == ';') {
      ++pos_;
      tok.kind = Tok::kPunct;
    } else {
      ++pos_;
      tok.kind = Tok::kBad;
    }
    tok.end = pos_;
    return tok;
  }

 private:
  void SkipBlanks() {
    while (pos_ < t_.size()) {
      const char c = t_[pos_];
      if (IsSpace(c)) {
        ++pos_;
      } else if (c == '#' || (c == '/' && pos_ + 1 < t_.size() && t_[pos_ + 1] == '/')) {
        while (pos_ < t_.size() && t_[pos_] != '\n' && t_[pos_] != '\r') ++pos_;
      } else if (c == '/' && pos_ + 1 < t_.size() && t_[pos_ + 1] == '*') {
        const std::size_t close = t_.find("*/", pos_ + 2);
        pos_ = close == std::string_view::npos ? t_.size() : close + 2;
      } else {
        return;
      }
    }
  }

  // Past the closing quote; false for an unterminated string or an escape Firefox refuses.
  bool ScanString(char quote) {
    bool valid = true;
    ++pos_;
    while (pos_ < t_.size()) {
      const char c = t_[pos_++];
      if (c == quote) return valid;
      if (c == '\\') {
        if (pos_ >= t_.size()) return false;
        const char e = t_[pos_++];
        if (e == 'x') {
          valid = valid && pos_ + 2 <= t_.size() && HexDigit(t_[pos_]) >= 0 && HexDigit(t_[pos_ + 1]) >= 0;
        } else if (e == 'u') {
          valid = valid && pos_ + 4 <= t_.size() && HexDigit(t_[pos_]) >= 0 && HexDigit(t_[pos_ + 1]) >= 0 &&
                  HexDigit(t_[pos_ + 2]) >= 0 && HexDigit(t_[pos_ + 3]) >= 0;
        } else if (e != '"' && e != '\'' && e != '\\' && e != 'n' && e != 'r') {
          valid = false;
        }
      }
    }
    return false;
  }

  std::string_view t_;
  std::size_t pos_ = 0;
};

bool IsKind(std::string_view word) { return word == "user_pref" || word == "pref" || word == "sticky_pref"; }

bool IsPunct(std::string_view text, const Token& tok, char c) {
  return tok.kind == Tok::kPunct && text[tok.begin] == c;
}

bool IsValue(std::string_view text, const Token& tok) {
  if (tok.kind == Tok::kString) return tok.valid_string;
  if (tok.kind == Tok::kNumber) return true;
  if (tok.kind != Tok::kIdent) return false;
  const std::string_view word = text.substr(tok.begin, tok.end - tok.begin);
  return word == "true" || word == "false";
}

std::string Decode(std::string_view token) {
  std::string out;
  if (token.size() < 2) return out;
  const std::string_view body = token.substr(1, token.size() - 2);
  out.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (c != '\\' || i + 1 >= body.size()) {
      out += c;
      continue;
    }
    const char e = body[++i];
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 'x':
        if (i + 2 < body.size() && HexDigit(body[i + 1]) >= 0 && HexDigit(body[i + 2]) >= 0) {
          platform::AppendUtf8(out, static_cast<char32_t>(HexDigit(body[i + 1]) * 16 + HexDigit(body[i + 2])));
          i += 2;
        } else {
          out += e;
        }
        break;
      case 'u': {
        auto hex4 = [&](std::size_t at) -> int {
          if (at + 4 > body.size()) return -1;
          int v = 0;
          for (std::size_t k = 0; k < 4; ++k) {
            const int d = HexDigit(body[at + k]);
            if (d < 0) return -1;
            v = v * 16 + d;
          }
          return v;
        };
        const int hi = hex4(i + 1);
        if (hi < 0) {
          out += e;
          break;
        }
        i += 4;
        std::uint32_t cp = static_cast<std::uint32_t>(hi);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 2 < body.size() && body[i + 1] == '\\' && body[i + 2] == 'u') {
          const int lo = hex4(i + 3);
          if (lo >= 0xDC00 && lo <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint32_t>(lo) - 0xDC00);
            i += 6;
          }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
        platform::AppendUtf8(out, cp);
        break;
      }
      default: out += e; break;  // \" \' \\ and the escapes Firefox would refuse
    }
  }
  return out;
}

}  // namespace

std::string QuotedString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c; break;
    }
  }
  out += '"';
  return out;
}

std::string UnquotedString(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return Decode(value);
  }
  return std::string(value);
}

bool IsValueToken(std::string_view value) {
  Lexer lexer(value);
  const Token tok = lexer.Next();
  if (tok.begin != 0 || !IsValue(value, tok)) return false;
  return tok.end == value.size();
}

std::vector<Statement> ParseStatements(std::string_view text, const std::function<void()>& each) {
  std::vector<Statement> out;
  Lexer lexer(text);
  Token last;
  auto next = [&]() -> const Token& { return last = lexer.Next(); };
  for (;;) {
    const Token first = next();
    if (first.kind == Tok::kEnd) break;
    const std::string_view word = text.substr(first.begin, first.end - first.begin);
    bool ok = false;
    if (first.kind == Tok::kIdent && IsKind(word) && IsPunct(text, next(), '(')) {
      const Token name = next();
      if (name.kind == Tok::kString && name.valid_string && IsPunct(text, next(), ',')) {
        const Token value = next();
        if (IsValue(text, value)) {
          // Attributes (", sticky", ", locked") may follow the value.
          while (IsPunct(text, next(), ',') && next().kind == Tok::kIdent) {
          }
          if (IsPunct(text, last, ')') && IsPunct(text, next(), ';')) {
            ok = true;
            if (word == "user_pref") {
              Statement st;
              st.begin = first.begin;
              st.end = last.end;
              st.name = Decode(text.substr(name.begin, name.end - name.begin));
              st.value_begin = value.begin;
              st.value_end = value.end;
              st.value = std::string(text.substr(value.begin, value.end - value.begin));
              out.push_back(std::move(st));
            }
          }
        }
      }
    }
    if (!ok) {
      // As Firefox: an error skips to the end of the statement.
      while (last.kind != Tok::kEnd && !IsPunct(text, last, ';')) next();
    }
    if (each) each();
    if (last.kind == Tok::kEnd) break;
  }
  return out;
}

namespace {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool SamePath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] == '/' ? '\\' : Lower(a[i]);
    const char y = b[i] == '/' ? '\\' : Lower(b[i]);
    if (x != y) return false;
  }
  return true;
}

std::vector<IniSection> ParseIni(std::string_view text) {
  std::vector<IniSection> sections;
  std::size_t current = 0;  // sections.size(): before the first header
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = text.size();
    const std::string_view line = Trim(text.substr(pos, eol - pos));
    pos = eol + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close != std::string_view::npos) {
        const std::string_view name = Trim(line.substr(1, close - 1));
        // A repeated header continues its first block, as the system's ini functions read it.
        current = sections.size();
        for (std::size_t i = 0; i < sections.size(); ++i) {
          if (EqualNoCase(sections[i].name, name)) {
            current = i;
            break;
          }
        }
        if (current == sections.size()) sections.push_back({std::string(name), {}});
        continue;
      }
    }
    if (current >= sections.size()) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    sections[current].entries.emplace_back(std::string(Trim(line.substr(0, eq))),
                                           std::string(Trim(line.substr(eq + 1))));
  }
  return sections;
}

const std::string* Value(const IniSection& s, std::string_view key) {
  for (const auto& [k, v] : s.entries) {
    if (EqualNoCase(k, key)) return &v;
  }
  return nullptr;
}

// As the system's integer reading of an ini value: leading digits, else 0.
long IntValue(const IniSection* s, std::string_view key) {
  const std::string* v = s == nullptr ? nullptr : Value(*s, key);
  if (v == nullptr) return 0;
  std::size_t i = 0;
  bool negative = false;
  if (i < v->size() && ((*v)[i] == '-' || (*v)[i] == '+')) negative = (*v)[i++] == '-';
  long n = 0;
  while (i < v->size() && IsDigit((*v)[i]) && n < 100000000) n = n * 10 + ((*v)[i++] - '0');
  return negative ? -n : n;
}

bool IsInstallSection(const IniSection& s) { return s.name.size() > 7 && EqualNoCase(s.name.substr(0, 7), "Install"); }

bool IsAbsolute(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string Join(const std::string& firefox_folder, std::string_view path, bool relative) {
  std::string out = relative ? firefox_folder + std::string(path) : std::string(path);
  // The folder is joined with "\\prefs.js" and "\\user.js".
  while (!out.empty() && (out.back() == '\\' || out.back() == '/')) out.pop_back();
  return out;
}

}  // namespace

std::string ProfileFolderFromIni(std::string_view ini_text, const std::string& firefox_folder) {
  const std::vector<IniSection> sections = ParseIni(ini_text);
  // Firefox 67 and later name the profile of each installation; a Default=1 section may
  // then be an old profile it no longer opens.
  for (const IniSection& install : sections) {
    if (!IsInstallSection(install)) continue;
    const std::string* def = Value(install, "Default");
    if (def == nullptr || def->empty()) continue;
    for (const IniSection& s : sections) {
      const std::string* path = IsInstallSection(s) ? nullptr : Value(s, "Path");
      if (path != nullptr && SamePath(*path, *def)) return Join(firefox_folder, *path, IntValue(&s, "IsRelative") == 1);
    }
    return Join(firefox_folder, *def, !IsAbsolute(*def));
  }
  const IniSection* chosen = nullptr;
  for (const IniSection& s : sections) {
    if (!IsInstallSection(s) && IntValue(&s, "Default") != 0) {
      chosen = &s;
      break;
    }
  }
  if (chosen == nullptr) {
    for (const IniSection& s : sections) {
      if (EqualNoCase(s.name, "Profile0")) chosen = &s;
    }
  }
  if (chosen == nullptr) return {};
  const std::string* path = Value(*chosen, "Path");
  if (path == nullptr || path->empty()) return {};
  return Join(firefox_folder, *path, IntValue(chosen, "IsRelative") == 1);
}

}  // namespace corvanel::firefox
