#include "platform/sandbox/SandboxProfiles.h"

#include "platform/FileText.h"
#include "platform/sandbox/Paths.h"
#include "platform/sandbox/ProfileText.h"
#include "platform/sandbox/SandboxFile.h"
#include "script/Text.h"

namespace sandbox {

SandboxProfiles::SandboxProfiles(platform::Files& files, const Faults& faults)
    : files_(files), faults_(faults) {}

std::string SandboxProfiles::ProfilePath(const std::string& fileName) {
  if (fileName.find_first_of("\\/:") != std::string::npos) return fileName;
  return files_.WindowsDirectory() + "\\" + fileName;
}

bool SandboxProfiles::Refused(const std::string& fileName, const std::string& path) const {
  if (faults_.profileWritesRefused) return true;
  for (const std::string& refused : faults_.refusedProfileFiles)
    if (script::EqualsUpper(refused, fileName) || script::EqualsUpper(refused, path)) return true;
  return false;
}

bool SandboxProfiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                                  const std::optional<std::string>& value,
                                  const std::string& fileName) {
  const std::string path = ProfilePath(fileName);
  if (Refused(fileName, path)) return false;
  if (key && value) {
    if (const std::optional<bool> appended = TryAppend(path, section, *key, *value))
      return *appended;
  }
  kept_.reset();
  std::optional<std::string> text = platform::ReadWholeFile(files_, path);
  const bool exists = text.has_value();
  if (!exists) {
    // A file that is there but cannot be read (held open, say) must not be overwritten.
    if (files_.GetAttributes(path) != platform::kInvalidFileAttributes) return false;
    text.emplace();
  }
  std::string changed;
  if (!key) {
    changed = DeleteProfileSection(*text, section);
  } else if (!value) {
    changed = DeleteProfileEntry(*text, section, *key);
  } else {
    changed = SetProfileEntry(*text, section, *key, *value);
  }
  // Deleting what is not there leaves the file alone (and creates none).
  if (changed == *text && (exists || !key || !value)) {
    if (exists) Remember(path, std::move(changed));
    return true;
  }
  if (!platform::WriteWholeFile(files_, path, changed)) return false;
  Remember(path, std::move(changed));
  return true;
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> SandboxProfiles::StampOf(
    const std::string& path) {
  const std::vector<platform::FindData> found = files_.Find(path);
  if (found.size() != 1 || (found.front().attributes & platform::kFileAttributeDirectory))
    return std::nullopt;
  return std::make_pair(found.front().size, found.front().lastWriteTime.ticks);
}

void SandboxProfiles::Remember(const std::string& path, std::string text) {
  const std::optional<std::pair<std::uint64_t, std::uint64_t>> stamp = StampOf(path);
  if (!stamp || stamp->first != text.size()) return;
  ProfileTail tail(text);
  kept_.emplace(Kept{UpperKey(path), std::move(text), *stamp, std::move(tail)});
}

std::optional<bool> SandboxProfiles::TryAppend(const std::string& path, const std::string& section,
                                               const std::string& key, const std::string& value) {
  if (!kept_ || kept_->key != UpperKey(path) || StampOf(path) != kept_->stamp) return std::nullopt;
  const std::optional<std::string> added = kept_->tail.Addition(section, key, value);
  if (!added) return std::nullopt;
  // Whatever would refuse the whole-file write (a read-only, hidden or system file, one
  // held open) is left to it, so that it fails the same way.
  const std::uint32_t attributes = files_.GetAttributes(path);
  constexpr std::uint32_t kKept = platform::kFileAttributeReadonly |
                                  platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  if (attributes == platform::kInvalidFileAttributes || (attributes & kKept) != 0)
    return std::nullopt;
  std::unique_ptr<platform::File> file =
      files_.Open(path, platform::kGenericRead | platform::kGenericWrite, 0,
                  platform::Disposition::OpenExisting);
  auto* sandboxFile = dynamic_cast<SandboxFile*>(file.get());
  if (sandboxFile == nullptr || !sandboxFile->SeekToEnd()) return std::nullopt;
  const auto size = static_cast<std::uint32_t>(added->size());
  const bool written = file->Write(added->data(), size) == size;
  file.reset();
  Kept& kept = *kept_;
  if (!written) {
    kept_.reset();
    return false;
  }
  kept.text += *added;
  kept.tail.Append(*added);
  const std::optional<std::pair<std::uint64_t, std::uint64_t>> stamp = StampOf(path);
  if (!stamp || stamp->first != kept.text.size()) {
    kept_.reset();
  } else {
    kept.stamp = *stamp;
  }
  return true;
}

std::string SandboxProfiles::ReadString(const std::string& section, const std::string& key,
                                        const std::string& fallback, const std::string& fileName) {
  std::optional<std::string> text = platform::ReadWholeFile(files_, ProfilePath(fileName));
  if (!text) return fallback;
  return ReadProfileEntry(*text, section, key).value_or(fallback);
}

std::optional<std::vector<std::string>> SandboxProfiles::ReadSection(const std::string& section,
                                                                     const std::string& fileName) {
  const std::string path = ProfilePath(fileName);
  std::optional<std::string> text = platform::ReadWholeFile(files_, path);
  if (text) return ReadProfileSection(*text, section);
  if (files_.GetAttributes(path) != platform::kInvalidFileAttributes) return std::nullopt;
  return std::vector<std::string>();
}

bool SandboxProfiles::WriteSection(const std::string& section,
                                   const std::vector<std::string>& lines,
                                   const std::string& fileName) {
  const std::string path = ProfilePath(fileName);
  if (Refused(fileName, path)) return false;
  kept_.reset();
  std::optional<std::string> text = platform::ReadWholeFile(files_, path);
  if (!text && files_.GetAttributes(path) != platform::kInvalidFileAttributes) return false;
  return platform::WriteWholeFile(files_, path,
                                  ReplaceProfileSection(text.value_or(""), section, lines));
}

}  // namespace sandbox
