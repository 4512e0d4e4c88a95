#include "tools/medium/Pack.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "script/Blocks.h"
#include "script/Header.h"
#include "script/ScriptLine.h"
#include "script/Text.h"
#include "script/TextLines.h"
#include "tools/medium/MediumDir.h"
#include "tools/medium/Szdd.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw PackError("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteHostFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw PackError("cannot write " + path.string());
}

// The host path of a Windows relative path below `root` (folders as written).
fs::path HostPath(const fs::path& root, const std::string& windowsPath) {
  const std::optional<std::vector<std::string>> parts = RelativeParts(windowsPath);
  if (!parts || parts->empty())
    throw PackError("the name " + windowsPath + " leads off the medium");
  fs::path path = root;
  for (const std::string& part : *parts) path /= part;
  return path;
}

// One file of the medium: where it comes from, what it is called there.
struct MediumFile {
  std::string name;   // as the script names it on the medium
  std::string bytes;  // as it is written on the medium
  std::uint64_t installedSize = 0;
};

class Packer {
 public:
  explicit Packer(const PackOptions& options) : options_(options) {
    product_ = MediumDir::OpenFolder(options.files);
    if (!product_) throw PackError(options.files.string() + " is not a folder");
  }

  void Run() {
    const std::string templateBytes = ReadHostFile(options_.script);
    const std::vector<std::string> lines = script::SplitTextLines(templateBytes);
    std::vector<std::string> out;
    std::vector<std::string> languageFiles;
    bool wantUninstall = false;
    bool hasCompressed = false;
    std::optional<std::size_t> processLine;
    std::uint64_t total = 0;
    std::uint64_t largestLanguage = 0;

    for (const std::string& line : lines) {
      const script::ScriptLine split = script::SplitScriptLine(line);
      switch (script::MatchHeaderKey(split.Key)) {
        case script::HeaderKey::Lang:
          if (!split.Value2.empty()) {
            const MediumFile& file = Load(split.Value2, split.Value3);
            languageFiles.push_back(split.Value2);
            largestLanguage = std::max(largestLanguage, file.installedSize);
          }
          break;
        case script::HeaderKey::Uninstall:
          if (script::IsFlagOn(split.Value1)) wantUninstall = true;
          break;
        default:
          break;
      }
    }

    StartDisk();
    disks_.back().used += DiskOneFixedSize(templateBytes.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const script::ScriptLine split = script::SplitScriptLine(line);
      const script::DriverRule rule = script::MatchDriverRule(line, split);
      const script::HeaderKey header = script::MatchHeaderKey(split.Key);
      if (header == script::HeaderKey::Process) {
        processLine = out.size();
        out.push_back("PROCESS=");
        continue;
      }
      if (header == script::HeaderKey::Compressed && options_.compress) {
        hasCompressed = true;
        out.push_back("COMPRESSED=YES");
        continue;
      }
      if (rule == script::DriverRule::Disk && options_.diskKB) continue;  // placed anew
      if (!script::IsCopyRule(rule) || split.Value1.empty()) {
        out.push_back(line);
        continue;
      }
      const MediumFile& file = Load(split.Value1, split.Value2);
      total += file.installedSize;
      if (Place(file)) out.push_back("DISK=" + std::to_string(disks_.size()));
      out.push_back(WithSizeTag(line, file.installedSize));
    }

    // The language file and the uninstaller are taken after the walk, from the last disk.
    std::vector<MediumFile> closing;
    for (const std::string& name : languageFiles) closing.push_back(files_.at(Upper(name)));
    if (const std::string* uninstaller = ProgramBytes("uninstkp.exe", wantUninstall))
      closing.push_back({"uninstkp.exe", *uninstaller, 0});
    std::uint64_t closingSize = 0;
    for (const MediumFile& file : closing)
      if (!disks_.back().names.count(Upper(file.name))) closingSize += file.bytes.size();
    if (Capacity() && disks_.back().used + closingSize > *Capacity()) {
      StartDisk();
      out.push_back("DISK=" + std::to_string(disks_.size()));
    }
    for (const MediumFile& file : closing) PlaceOn(disks_.size(), file);

    total += largestLanguage;
    if (processLine) {
      out[*processLine] = "PROCESS=" + std::to_string(total);
    } else {
      out.insert(out.begin() + static_cast<long>(FirstBlockLine(out)),
                 "PROCESS=" + std::to_string(total));
    }
    if (options_.compress && !hasCompressed)
      out.insert(out.begin() + static_cast<long>(FirstBlockLine(out)), "COMPRESSED=YES");

    std::string script;
    for (const std::string& line : out) script += line + "\r\n";
    const fs::path first = DiskFolder(1);
    WriteHostFile(first / "Setup.Inf", script);
    WriteHostFile(first / "setup.exe", *ProgramBytes("setup.exe", true));
    if (const std::optional<fs::path> picture = product_->Find(1, "Present.bmp"))
      WriteHostFile(first / "Present.bmp", ReadHostFile(*picture));
  }

 private:
  struct Disk {
    std::uint64_t used = 0;
    std::set<std::string> names;
  };

  static std::string Upper(const std::string& name) {
    const std::optional<std::vector<std::string>> parts = RelativeParts(name);
    std::string joined;
    for (const std::string& part : parts.value_or(std::vector<std::string>{}))
      joined += (joined.empty() ? "" : "\\") + script::UpperAscii(part);
    return joined;
  }

  std::optional<std::uint64_t> Capacity() const {
    if (!options_.diskKB) return std::nullopt;
    return *options_.diskKB * 1024;
  }

  // Setup.Inf (the template with room for a size tag or a DISK line on every line, and
  // for the PROCESS and COMPRESSED lines), setup.exe and the picture.
  std::uint64_t DiskOneFixedSize(std::size_t templateSize, std::size_t lineCount) {
    std::uint64_t size = templateSize + 24 * lineCount + 256;
    std::error_code error;
    if (const std::string* setup = ProgramBytes("setup.exe", false)) size += setup->size();
    if (const std::optional<fs::path> picture = product_->Find(1, "Present.bmp"))
      size += fs::file_size(*picture, error);
    return size;
  }

  std::optional<fs::path> Program(const std::string& name, bool required) const {
    const std::optional<MediumDir> programs = MediumDir::OpenFolder(options_.programs);
    std::optional<fs::path> path = programs ? programs->Find(1, name) : std::nullopt;
    if (!path && required)
      throw PackError(name + " is not in " + options_.programs.string() + " (see --programs)");
    return path;
  }

  // The program's bytes as they go on the medium (prepared once), or null when it is not
  // there and not required.
  const std::string* ProgramBytes(const std::string& name, bool required) {
    auto found = programs_.find(name);
    if (found != programs_.end()) return &found->second;
    const std::optional<fs::path> path = Program(name, required);
    if (!path) return nullptr;
    std::string bytes = ReadHostFile(*path);
    if (options_.prepareProgram) bytes = options_.prepareProgram(name, std::move(bytes));
    return &programs_.emplace(name, std::move(bytes)).first->second;
  }

  // The product file behind a medium name: the name itself, the installed name, or (for
  // a compressed name such as DEMO.EX_) a file whose name differs only in the last letter.
  std::pair<fs::path, char> FindProductFile(const std::string& name,
                                            const std::string& installedName) const {
    if (const auto path = product_->Find(1, name)) return {*path, LastLetter(name, *path)};
    if (!installedName.empty())
      if (const auto path = product_->Find(1, installedName))
        return {*path, LastLetter(name, *path)};
    if (!name.empty() && name.back() == '_') {
      const std::optional<fs::path> stem = product_->FindLastLetterAny(1, name);
      if (stem) return {*stem, LastLetter(name, *stem)};
    }
    throw PackError(name + " is not among the product's files in " + options_.files.string());
  }

  // The letter the '_' of a compressed name stands for.
  static char LastLetter(const std::string& name, const fs::path& original) {
    const std::string file = original.filename().string();
    if (name.empty() || name.back() != '_' || file.empty()) return '\0';
    const char letter = file.back();
    return letter == '_' ? '\0' : letter;
  }

  const MediumFile& Load(const std::string& name, const std::string& installedName) {
    const std::string key = Upper(name);
    auto found = files_.find(key);
    if (found != files_.end()) return found->second;
    const auto [path, letter] = FindProductFile(name, installedName);
    MediumFile file;
    file.name = name;
    file.bytes = ReadHostFile(path);
    file.installedSize = file.bytes.size();
    if (options_.compress) file.bytes = CompressSzdd(file.bytes, letter);
    return files_.emplace(key, std::move(file)).first->second;
  }

  void StartDisk() { disks_.emplace_back(); }

  fs::path DiskFolder(std::size_t disk) const {
    return options_.diskKB ? options_.out / ("DISK" + std::to_string(disk)) : options_.out;
  }

  void PlaceOn(std::size_t disk, const MediumFile& file) {
    Disk& target = disks_.at(disk - 1);
    if (!target.names.insert(Upper(file.name)).second) return;
    target.used += file.bytes.size();
    WriteHostFile(HostPath(DiskFolder(disk), file.name), file.bytes);
  }

  // Puts a copy line's file on the present disk, or on a new one when it does not fit;
  // true when a new disk was started.
  bool Place(const MediumFile& file) {
    Disk& present = disks_.back();
    if (present.names.count(Upper(file.name))) return false;
    bool started = false;
    if (Capacity()) {
      if (file.bytes.size() > *Capacity())
        throw PackError(file.name + " (" + std::to_string(file.bytes.size()) +
                        " bytes) does not fit on a disk of " + std::to_string(*options_.diskKB) +
                        " KB");
      if (present.used + file.bytes.size() > *Capacity()) {
        StartDisk();
        started = true;
      }
    }
    PlaceOn(disks_.size(), file);
    return started;
  }

  // Where header lines that the template lacks go: before the first line the driver acts on.
  static std::size_t FirstBlockLine(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (script::MatchDriverRule(lines[i], script::SplitScriptLine(lines[i])) !=
          script::DriverRule::None)
        return i;
    return lines.size();
  }

  const PackOptions& options_;
  std::optional<MediumDir> product_;
  std::map<std::string, MediumFile> files_;
  std::map<std::string, std::string> programs_;
  std::vector<Disk> disks_;
};

}  // namespace

std::string WithSizeTag(const std::string& line, std::uint64_t size) {
  const std::string tag = "$$" + std::to_string(size) + "$$";
  const std::size_t open = line.find("$$");
  if (open == std::string::npos) return line + tag;
  const std::size_t close = line.find("$$", open + 2);
  if (close == std::string::npos) return line.substr(0, open) + tag + line.substr(open + 2);
  return line.substr(0, open) + tag + line.substr(close + 2);
}

void PackMedium(const PackOptions& options) {
  std::error_code error;
  fs::remove_all(options.out, error);
  fs::create_directories(options.out);
  Packer(options).Run();
}

}  // namespace medium
