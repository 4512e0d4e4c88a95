#include "tools/medium/MediumOut.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "tools/medium/Pack.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

constexpr char kListHeading[] = "setup-pack medium";

// The path with links and ".." resolved as far as it exists, without a trailing "/".
fs::path Resolved(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(fs::absolute(path, error), error);
  if (error) resolved = fs::absolute(path, error).lexically_normal();
  if (resolved.has_relative_path() && resolved.filename().empty())
    resolved = resolved.parent_path();
  return resolved;
}

// True when `inner` is `outer` or lies below it.
bool Within(const fs::path& inner, const fs::path& outer) {
  const auto [stop, rest] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return stop == outer.end();
}

// The entries the list of the medium in `out` names; empty when there is no list. Nothing
// (and `valid` false) when the file is there but is no list of ours.
std::set<std::string> ReadList(const fs::path& out, bool& valid) {
  valid = true;
  std::set<std::string> listed;
  std::ifstream in(out / kMediumListName, std::ios::binary);
  if (!in) return listed;
  std::string line;
  if (!std::getline(in, line) || line != kListHeading) {
    valid = false;
    return listed;
  }
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    // The list lies in a folder anyone may have edited: a name that leads out of it makes
    // the whole list untrustworthy.
    const fs::path entry = fs::path(line.back() == '/' ? line.substr(0, line.size() - 1) : line);
    const bool inside = entry.is_relative() && !entry.empty() &&
                        std::none_of(entry.begin(), entry.end(), [](const fs::path& part) {
                          return part.empty() || part == "." || part == "..";
                        });
    if (!inside) {
      valid = false;
      return {};
    }
    listed.insert(line);
  }
  return listed;
}

void WriteList(const fs::path& out, const std::set<std::string>& entries) {
  std::ostringstream text;
  text << kListHeading << '\n';
  for (const std::string& entry : entries) text << entry << '\n';
  std::ofstream file(out / kMediumListName, std::ios::binary | std::ios::trunc);
  file << text.str();
  if (!file.flush()) throw PackError("cannot write " + (out / kMediumListName).string());
}

// The list entries of one file: the folders on its way (ending in "/") and the file.
std::vector<std::string> EntriesOf(const fs::path& relative) {
  std::vector<std::string> entries;
  fs::path folder;
  for (const fs::path& part : relative.parent_path()) {
    folder /= part;
    entries.push_back(folder.generic_string() + "/");
  }
  entries.push_back(relative.generic_string());
  return entries;
}

std::string Refusal(const fs::path& out, const std::string& relation, const fs::path& input,
                    const std::string& option) {
  return "--out " + out.string() + " " + relation + " " + option + " " + input.string() +
         ": the medium and what it is made from must lie apart";
}

}  // namespace

void CheckOutFolder(const fs::path& out,
                    const std::vector<std::pair<fs::path, std::string>>& inputs) {
  const fs::path medium = Resolved(out);
  for (const auto& [input, option] : inputs) {
    const fs::path given = Resolved(input);
    if (given == medium) throw PackError(Refusal(out, "is", input, option));
    if (Within(given, medium)) throw PackError(Refusal(out, "holds", input, option));
    if (Within(medium, given)) throw PackError(Refusal(out, "lies inside", input, option));
  }
  std::error_code error;
  const fs::file_status status = fs::status(out, error);
  if (!fs::exists(status)) return;
  if (!fs::is_directory(status)) throw PackError("--out " + out.string() + " is no folder");
  bool valid = true;
  const std::set<std::string> listed = ReadList(out, valid);
  const auto foreign = [&](const std::string& what) {
    throw PackError("--out " + out.string() + " holds " + what +
                    ", which setup-pack did not write; give an empty folder, a new one, or "
                    "one that holds a medium setup-pack made");
  };
  if (!valid) foreign(kMediumListName);
  fs::recursive_directory_iterator it(out, error), end;
  for (; !error && it != end; it.increment(error)) {
    const std::string relative = it->path().lexically_relative(out).generic_string();
    if (relative == kMediumListName) continue;
    const fs::file_status entry = it->symlink_status(error);
    if (fs::is_directory(entry) && listed.count(relative + "/")) continue;
    if (fs::is_regular_file(entry) && listed.count(relative)) continue;
    foreign(relative);
  }
  if (error) throw PackError("cannot read " + out.string() + ": " + error.message());
}

void WriteMediumFolder(const fs::path& out, const std::vector<OutFile>& files) {
  std::error_code error;
  fs::create_directories(out, error);
  if (error) throw PackError("cannot make " + out.string() + ": " + error.message());
  bool valid = true;
  const std::set<std::string> earlier = ReadList(out, valid);
  std::set<std::string> now;
  for (const OutFile& file : files)
    for (std::string& entry : EntriesOf(file.relative)) now.insert(std::move(entry));
  // While the old medium gives way to the new one the list names both, so that a run
  // that stops half way leaves a folder the next run still takes for ours.
  std::set<std::string> both = earlier;
  both.insert(now.begin(), now.end());
  WriteList(out, both);
  // Files first, then folders deepest first; a folder that is not empty stays.
  for (auto entry = earlier.rbegin(); entry != earlier.rend(); ++entry)
    if (!now.count(*entry) && entry->back() != '/') fs::remove(out / *entry, error);
  for (auto entry = earlier.rbegin(); entry != earlier.rend(); ++entry)
    if (!now.count(*entry) && entry->back() == '/') fs::remove(out / *entry, error);
  for (const OutFile& file : files) {
    const fs::path path = out / file.relative;
    fs::create_directories(path.parent_path(), error);
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
    if (!stream.flush()) throw PackError("cannot write " + path.string());
  }
  WriteList(out, now);
}

void AddToMediumList(const fs::path& out, const std::vector<fs::path>& relative) {
  bool valid = true;
  std::set<std::string> listed = ReadList(out, valid);
  for (const fs::path& file : relative)
    for (std::string& entry : EntriesOf(file)) listed.insert(std::move(entry));
  WriteList(out, listed);
}

void RemoveFromMediumList(const fs::path& out, const std::vector<fs::path>& relative) {
  bool valid = true;
  std::set<std::string> listed = ReadList(out, valid);
  for (const fs::path& file : relative) listed.erase(file.generic_string());
  WriteList(out, listed);
}

bool LiesWithin(const fs::path& path, const fs::path& folder) {
  return Within(Resolved(path), Resolved(folder));
}

}  // namespace medium
