#include "tools/medium/KeyHints.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "script/Text.h"

namespace medium {
namespace {

// How many letters a key may be off and still be taken for a known one.
std::size_t Tolerance(std::string_view key) {
  return std::max<std::size_t>(2, key.size() / 3);
}

// The nearest of `keys` that `near` accepts, or empty.
template <typename Near>
std::string Nearest(const std::string& upper, std::span<const std::string_view> keys, Near near) {
  std::string best;
  std::optional<std::size_t> bestDistance;
  for (std::string_view candidate : keys) {
    const std::size_t distance = EditDistance(upper, candidate);
    if (!near(candidate, distance) || (bestDistance && distance >= *bestDistance)) continue;
    bestDistance = distance;
    best = candidate;
  }
  return best;
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string NearestKey(std::string_view key, std::span<const std::string_view> known) {
  const std::string upper = script::UpperAscii(key);
  return Nearest(upper, known, [&](std::string_view, std::size_t distance) {
    return distance <= Tolerance(upper);
  });
}

std::string NearestBlockKey(std::string_view key, std::span<const std::string_view> known,
                            std::span<const std::string_view> lacking) {
  const std::string upper = script::UpperAscii(key);
  const std::string lacked =
      Nearest(upper, lacking, [&](std::string_view candidate, std::size_t distance) {
        return distance <= Tolerance(upper) ||
               (upper.size() >= 3 &&
                candidate.substr(0, 3) == std::string_view(upper).substr(0, 3));
      });
  return lacked.empty() ? NearestKey(key, known) : lacked;
}

std::string UnknownKeyText(const std::string& key, const std::string& nearest,
                           const std::string& where) {
  std::string text = "unknown key " + key + where;
  if (!nearest.empty()) text += " (did you mean " + nearest + "?)";
  return text + "; the line is ignored";
}

}  // namespace medium
