#include "uninst/SafePaths.h"

#include <vector>

#include "script/Text.h"

namespace uninst {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string NormalPath(std::string_view path) {
  if (path.size() < 3 || !IsLetter(path[0]) || path[1] != ':' || !IsSeparator(path[2])) return {};
  std::vector<std::string_view> parts;
  std::size_t start = 3;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) return {};
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result(path.substr(0, 2));
  for (std::string_view part : parts) {
    result += '\\';
    result += part;
  }
  return result;
}

bool IsInside(std::string_view path, std::string_view directory) {
  const std::string inner = script::UpperAscii(NormalPath(path));
  const std::string outer = script::UpperAscii(NormalPath(directory));
  if (inner.empty() || outer.empty()) return false;
  return inner.size() > outer.size() + 1 && inner.compare(0, outer.size(), outer) == 0 &&
         inner[outer.size()] == '\\';
}

std::string JoinInside(std::string_view directory, std::string_view relative) {
  if (relative.empty() || IsSeparator(relative.front()) || relative.find(':') != relative.npos)
    return {};
  std::string joined = NormalPath(directory);
  if (joined.empty()) return {};
  joined = NormalPath(joined + "\\" + std::string(relative));
  return IsInside(joined, directory) ? joined : std::string();
}

std::string ParentOf(std::string_view path) {
  const std::size_t cut = path.find_last_of('\\');
  if (cut == std::string_view::npos || cut < 2) return {};
  return std::string(path.substr(0, cut));
}

}  // namespace uninst
