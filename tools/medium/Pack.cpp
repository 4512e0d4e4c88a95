#include "tools/medium/Pack.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/SzddHeader.h"
#include "script/Blocks.h"
#include "script/Header.h"
#include "script/ScriptLine.h"
#include "script/Text.h"
#include "script/TextLines.h"
#include "tools/medium/DiskSet.h"
#include "tools/medium/MediumDir.h"
#include "tools/medium/MediumOut.h"
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

// The host path of a Windows relative path below `root` (folders as written).
fs::path HostPath(const fs::path& root, const std::string& windowsPath) {
  const std::optional<std::vector<std::string>> parts = RelativeParts(windowsPath);
  if (!parts || parts->empty())
    throw PackError("the name " + windowsPath + " leads off the medium");
  fs::path path = root;
  for (const std::string& part : *parts) path /= part;
  return path;
}

// The medium's Setup.Inf as it is made, each line with the template line it comes from
// (1-based; 0 for a line the packer adds).
struct ScriptOut {
  std::vector<std::string> lines;
  std::vector<std::size_t> origins;
  void Add(std::string line, std::size_t origin) {
    lines.push_back(std::move(line));
    origins.push_back(origin);
  }
  void Insert(std::size_t at, std::string line) {
    lines.insert(lines.begin() + static_cast<long>(at), std::move(line));
    origins.insert(origins.begin() + static_cast<long>(at), 0);
  }
};

// One file of the medium: where it comes from, what it is called there.
struct MediumFile {
  std::string name;   // as the script names it on the medium
  std::string bytes;  // as it is written on the medium
  std::uint64_t installedSize = 0;
};

class Packer {
 public:
  explicit Packer(const PackOptions& options) : options_(options), disks_(options.diskKB) {
    product_ = MediumDir::OpenFolder(options.files);
    if (!product_) throw PackError(options.files.string() + " is not a folder");
  }

  void Run() {
    const std::string templateBytes = ReadHostFile(options_.script);
    const std::vector<std::string> lines = script::SplitTextLines(templateBytes);
    ScriptOut out;
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

    // Setup.Inf is not made yet: its room is kept for the longest it can grow to, a size tag
    // or a DISK line on every line and the PROCESS and COMPRESSED lines.
    const DiskFile setupInf{"Setup.Inf", templateBytes.size() + 32 * lines.size() + 256};
    StartFirstDisk(setupInf);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const script::ScriptLine split = script::SplitScriptLine(line);
      const script::DriverRule rule = script::MatchDriverRule(line, split);
      const script::HeaderKey header = script::MatchHeaderKey(split.Key);
      if (header == script::HeaderKey::Process) {
        processLine = out.lines.size();
        out.Add("PROCESS=", i + 1);
        continue;
      }
      if (header == script::HeaderKey::Compressed && options_.compress) {
        hasCompressed = true;
        out.Add("COMPRESSED=YES", i + 1);
        continue;
      }
      if (rule == script::DriverRule::Disk && options_.diskKB) continue;  // placed anew
      if (!script::IsCopyRule(rule) || split.Value1.empty()) {
        out.Add(line, i + 1);
        continue;
      }
      const MediumFile& file = Load(split.Value1, split.Value2);
      total += file.installedSize;
      // A disk the packer starts is reported at the line of the file that starts it.
      if (Place(file)) out.Add("DISK=" + std::to_string(disks_.Count()), i + 1);
      out.Add(WithSizeTag(line, file.installedSize), i + 1);
    }

    // The language file and the uninstaller are taken after the walk, from the last disk,
    // and the uninstall log is made from the Setup.Inf found there.
    std::vector<MediumFile> closing;
    for (const std::string& name : languageFiles) closing.push_back(files_.at(Upper(name)));
    const std::string* uninstaller = ProgramBytes("uninstkp.exe", wantUninstall);
    if (uninstaller) closing.push_back({"uninstkp.exe", *uninstaller, 0});
    if (PlaceClosing(closing, setupInf)) out.Add("DISK=" + std::to_string(disks_.Count()), 0);

    // PROCESS is what the installation writes: the uninstaller goes into the Windows
    // directory as well.
    total += largestLanguage;
    if (wantUninstall && uninstaller) total += closing.back().bytes.size();
    if (processLine) {
      out.lines[*processLine] = "PROCESS=" + std::to_string(total);
    } else {
      out.Insert(FirstBlockLine(out.lines), "PROCESS=" + std::to_string(total));
    }
    if (options_.compress && !hasCompressed)
      out.Insert(FirstBlockLine(out.lines), "COMPRESSED=YES");

    std::string script;
    for (const std::string& line : out.lines) script += line + "\r\n";
    templateLines_ = std::move(out.origins);
    const fs::path first = DiskFolder(1);
    written_.push_back({first / "Setup.Inf", script});
    if (disks_.Count() > 1) written_.push_back({DiskFolder(disks_.Count()) / "Setup.Inf", script});
    written_.push_back({first / "setup.exe", *ProgramBytes("setup.exe", true)});
    if (const std::optional<fs::path> picture = product_->Find(1, "Present.bmp"))
      written_.push_back({first / "Present.bmp", ReadHostFile(*picture)});
    CheckDiskSizes();
  }

  // The medium's files, by their paths in the medium folder.
  const std::vector<OutFile>& Files() const { return written_; }
  // The template line of each line of the medium's Setup.Inf (0 for a line added).
  std::vector<std::size_t> TemplateLines() const { return templateLines_; }

 private:
  static std::string Upper(const std::string& name) {
    const std::optional<std::vector<std::string>> parts = RelativeParts(name);
    std::string joined;
    for (const std::string& part : parts.value_or(std::vector<std::string>{}))
      joined += (joined.empty() ? "" : "\\") + script::UpperAscii(part);
    return joined;
  }

  // Disk 1 holds Setup.Inf, setup.exe and the picture before any file of the product.
  void StartFirstDisk(const DiskFile& setupInf) {
    std::vector<DiskFile> first = {setupInf};
    std::error_code error;
    first.push_back({"setup.exe", ProgramBytes("setup.exe", true)->size()});
    if (const std::optional<fs::path> picture = product_->Find(1, "Present.bmp"))
      first.push_back({"Present.bmp", fs::file_size(*picture, error)});
    disks_.Start();
    if (!disks_.Fit(1, first))
      throw PackError("disk 1 cannot hold what must be on it: " + Listed(first) + " take " +
                      Grouped(disks_.BytesOnDisk(first)) + " bytes in whole clusters, and " +
                      disks_.Capacity());
    for (const DiskFile& file : first) disks_.Add(1, file);
  }

  // "Setup.Inf (up to 4,096 bytes), setup.exe (1,589,208 bytes)": the room kept for
  // Setup.Inf is what it may grow to.
  static std::string Listed(const std::vector<DiskFile>& files) {
    std::string text;
    for (const DiskFile& file : files)
      text += (text.empty() ? "" : ", ") + file.name +
              (file.name == "Setup.Inf" ? " (up to " : " (") + Grouped(file.size) + " bytes)";
    return text;
  }

  // Puts the files taken after the walk on the last disk, or on a new one when they do not
  // fit there; true when a new disk was started. A set of more than one disk carries
  // Setup.Inf on its last disk too.
  bool PlaceClosing(const std::vector<MediumFile>& closing, const DiskFile& setupInf) {
    std::vector<DiskFile> files;
    for (const MediumFile& file : closing) files.push_back({file.name, file.bytes.size()});
    std::vector<DiskFile> withScript = files;
    withScript.push_back(setupInf);
    bool started = false;
    if (!disks_.Fit(disks_.Count(), disks_.Count() > 1 ? withScript : files)) {
      if (!disks_.FitEmpty(withScript))
        throw PackError("the last disk cannot hold what is taken from it at the end: " +
                        Listed(withScript) + " take " + Grouped(disks_.BytesOnDisk(withScript)) +
                        " bytes in whole clusters, and " + disks_.Capacity());
      disks_.Start();
      started = true;
    }
    if (disks_.Count() > 1) disks_.Add(disks_.Count(), setupInf);
    for (const MediumFile& file : closing) PlaceOn(disks_.Count(), file);
    return started;
  }

  // Every disk measured with the files as written, Setup.Inf at its true size: a disk
  // that would not fit is never written.
  void CheckDiskSizes() const {
    if (!options_.diskKB) return;
    for (std::size_t disk = 1; disk <= disks_.Count(); ++disk) {
      const fs::path folder = DiskFolder(disk);
      std::vector<DiskFile> files;
      for (const OutFile& file : written_)
        if (file.relative.begin() != file.relative.end() && *file.relative.begin() == folder)
          files.push_back(
              {file.relative.lexically_relative(folder).generic_string(), file.bytes.size()});
      if (!disks_.FitEmpty(files))
        throw PackError("disk " + std::to_string(disk) + " would take " +
                        Grouped(disks_.BytesOnDisk(files)) +
                        " bytes in whole clusters, more than " + disks_.Capacity());
    }
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
    if (options_.compress) {
      // The installer passes plain files through when COMPRESSED=YES, so what compression
      // would not make smaller goes as it is; unless it begins like an SZDD file, which the
      // expansion would take it for.
      std::string packed = CompressSzdd(file.bytes, letter);
      if (packed.size() < file.bytes.size() || platform::HasSzddSignature(file.bytes))
        file.bytes = std::move(packed);
    }
    return files_.emplace(key, std::move(file)).first->second;
  }

  // The folder of disk `disk` inside the medium folder.
  fs::path DiskFolder(std::size_t disk) const {
    return options_.diskKB ? fs::path("DISK" + std::to_string(disk)) : fs::path();
  }

  void PlaceOn(std::size_t disk, const MediumFile& file) {
    if (!disks_.Add(disk, {file.name, file.bytes.size()})) return;
    written_.push_back({HostPath(DiskFolder(disk), file.name), file.bytes});
  }

  // Puts a copy line's file on the present disk, or on a new one when it does not fit;
  // true when a new disk was started.
  bool Place(const MediumFile& file) {
    if (disks_.Holds(disks_.Count(), file.name)) return false;
    const std::vector<DiskFile> alone = {{file.name, file.bytes.size()}};
    bool started = false;
    if (!disks_.Fit(disks_.Count(), alone)) {
      if (!disks_.FitEmpty(alone))
        throw PackError(file.name + " (" + Grouped(file.bytes.size()) +
                        " bytes) does not fit on a disk: " + disks_.Capacity());
      disks_.Start();
      started = true;
    }
    PlaceOn(disks_.Count(), file);
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
  DiskSet disks_;
  std::vector<OutFile> written_;
  std::vector<std::size_t> templateLines_;
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

PackResult PackMedium(const PackOptions& options) {
  // Everything is read and laid out before the medium folder is touched, so that a
  // mistyped option leaves it as it was.
  CheckOutFolder(
      options.out,
      {{options.script, "--script"}, {options.files, "--files"}, {options.programs, "--programs"}});
  Packer packer(options);
  packer.Run();
  WriteMediumFolder(options.out, packer.Files());
  return {packer.TemplateLines()};
}

}  // namespace medium
