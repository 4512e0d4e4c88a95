#include "tools/setup-sim/Summary.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "script/Text.h"
#include "script/TextLines.h"

namespace sim {

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A host path below drive_c as the Windows path the program knows.
std::string WindowsPath(const fs::path& relative) {
  std::string path = relative.generic_string();
  for (char& c : path)
    if (c == '/') c = '\\';
  return "C:" + path.substr(path.find('\\'));
}

bool EndsWithUpper(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         script::UpperAscii(text.substr(text.size() - tail.size())) == tail;
}

std::set<std::string> RegistryLines(const fs::path& machineRoot) {
  std::set<std::string> lines;
  std::string key;
  for (const std::string& line : script::SplitTextLines(ReadFile(machineRoot / "registry.reg"))) {
    if (line.empty() || line == "REGEDIT4") continue;
    if (line.front() == '[') {
      key = line;
    } else {
      lines.insert(key + " " + line);
    }
  }
  return lines;
}

std::vector<std::string> LogLines(const fs::path& machineRoot) {
  return script::SplitTextLines(ReadFile(machineRoot / "system.log"));
}

}  // namespace

MachineSnapshot TakeSnapshot(const fs::path& machineRoot) {
  MachineSnapshot snapshot;
  const fs::path drive = machineRoot / "drive_c";
  if (fs::is_directory(drive)) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(drive)) {
      if (!entry.is_regular_file()) continue;
      snapshot.files[fs::relative(entry.path(), machineRoot).generic_string()] = {
          entry.file_size(), entry.last_write_time()};
    }
  }
  snapshot.registryLines = RegistryLines(machineRoot);
  snapshot.logLines = LogLines(machineRoot).size();
  return snapshot;
}

void PrintSummary(const fs::path& machineRoot, const MachineSnapshot& before, std::ostream& out) {
  const MachineSnapshot after = TakeSnapshot(machineRoot);
  std::vector<std::string> changed;
  for (const auto& [path, stamp] : after.files) {
    const auto old = before.files.find(path);
    if (old == before.files.end() || old->second != stamp) changed.push_back(path);
  }

  out << "== files\n";
  for (const std::string& path : changed)
    out << WindowsPath(path) << "  " << after.files.at(path).first << " bytes\n";

  out << "== registry values\n";
  for (const std::string& line : after.registryLines)
    if (!before.registryLines.count(line)) out << line << '\n';

  out << "== INI entries\n";
  for (const std::string& path : changed) {
    if (!EndsWithUpper(path, ".INI")) continue;
    std::string section;
    for (const std::string& line : script::SplitTextLines(ReadFile(machineRoot / path))) {
      if (!line.empty() && line.front() == '[') {
        section = line;
      } else if (!line.empty()) {
        out << WindowsPath(path) << " " << section << " " << line << '\n';
      }
    }
  }

  out << "== Start menu (Program Manager commands)\n";
  const std::vector<std::string> log = LogLines(machineRoot);
  for (std::size_t i = before.logLines; i < log.size(); ++i) {
    if (log[i].rfind("dde-execute\t", 0) != 0) continue;
    const std::string commands = log[i].substr(log[i].rfind('\t') + 1);
    std::size_t start = 0;
    for (std::size_t end; (end = commands.find("\\r\\n", start)) != std::string::npos;
         start = end + 4)
      out << commands.substr(start, end - start) << '\n';
  }

  out << "== uninstall log\n";
  for (const std::string& path : changed) {
    if (!EndsWithUpper(path, "SETUP.UNI")) continue;
    out << WindowsPath(path) << '\n';
    for (const std::string& line : script::SplitTextLines(ReadFile(machineRoot / path)))
      out << "  " << line << '\n';
  }
}

}  // namespace sim
