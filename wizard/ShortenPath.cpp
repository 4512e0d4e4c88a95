#include "wizard/ShortenPath.h"

std::string ShortenPath(const std::string& path, std::size_t maxLength) {
  if (path.size() <= maxLength) return path;
  const std::string head = path.substr(0, 2);
  std::string tail = path.substr(2);
  while (tail.size() > maxLength) {
    const std::size_t slash = tail.find('\\');
    // A single name longer than the maximum cannot be shortened further; it is shown whole
    // rather than cut, so the loop always ends.
    if (slash == std::string::npos) break;
    tail.erase(0, slash + 1);
  }
  return head + "\\ ... \\" + tail;
}
