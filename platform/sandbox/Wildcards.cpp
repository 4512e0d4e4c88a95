#include "platform/sandbox/Wildcards.h"

#include <string>

namespace sandbox {
namespace {

// Windows rewrites a search pattern into these forms before matching.
constexpr char kDosStar = '<';  // any run of characters up to the name's last dot
constexpr char kDosQm = '>';    // one character, or none before a dot or at the end
constexpr char kDosDot = '"';   // a dot, or nothing at the end of the name

std::string ToDosPattern(std::string_view pattern) {
  std::string dos(pattern);
  for (std::size_t i = 0; i < dos.size(); ++i) {
    const char next = i + 1 < dos.size() ? dos[i + 1] : '\0';
    if (dos[i] == '?') {
      dos[i] = kDosQm;
    } else if (dos[i] == '*' && next == '.') {
      dos[i] = kDosStar;
    } else if (dos[i] == '.' && (next == '?' || next == '*' || next == '\0')) {
      dos[i] = kDosDot;
    }
  }
  return dos;
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Match(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  const std::string_view restPattern = pattern.substr(1);
  switch (pattern[0]) {
    case '*':
      for (std::size_t taken = 0; taken <= name.size(); ++taken) {
        if (Match(restPattern, name.substr(taken))) return true;
      }
      return false;
    case kDosStar: {
      // Never takes the last dot itself: the pattern's own dot has to match it.
      const std::size_t lastDot = name.rfind('.');
      const std::size_t limit = lastDot == std::string_view::npos ? name.size() : lastDot;
      for (std::size_t taken = 0; taken <= limit; ++taken) {
        if (Match(restPattern, name.substr(taken))) return true;
      }
      return false;
    }
    case kDosQm:
      if (name.empty() || name[0] == '.') return Match(restPattern, name);
      return Match(restPattern, name.substr(1));
    case kDosDot:
      if (name.empty()) return Match(restPattern, name);
      return name[0] == '.' && Match(restPattern, name.substr(1));
    default:
      return !name.empty() && Upper(pattern[0]) == Upper(name[0]) &&
             Match(restPattern, name.substr(1));
  }
}

}  // namespace

bool MatchesFindPattern(std::string_view pattern, std::string_view name) {
  return Match(ToDosPattern(pattern), name);
}

}  // namespace sandbox
