// A small in-memory Files service for tests of code that only reads and writes whole
// files: a map from the upper-cased full path to the bytes, plus a set of directories.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "script/Text.h"

namespace sandbox::test {

class MemoryFiles : public platform::Files {
 public:
  MemoryFiles() { AddDirectory("C:\\WINDOWS"); }

  // Test set-up and inspection.
  void AddDirectory(const std::string& path) { directories_.insert(Key(path)); }
  void Put(const std::string& path, std::string bytes,
           std::uint32_t attributes = platform::kFileAttributeArchive) {
    files_[Key(path)] = {std::move(bytes), attributes};
  }
  std::optional<std::string> Text(const std::string& path) const {
    auto it = files_.find(Key(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
  }
  // Files that another program holds open: every open fails with a sharing violation.
  std::set<std::string> locked;
  // How many times a file was opened for writing.
  int writeOpens = 0;

  std::unique_ptr<platform::File> Open(const std::string& path, std::uint32_t access, std::uint32_t,
                                       platform::Disposition disposition, std::uint32_t) override {
    const std::string key = Key(path);
    if (locked.count(key)) return Fail(platform::kErrorSharingViolation);
    if (!directories_.count(Parent(key))) return Fail(platform::kErrorPathNotFound);
    auto it = files_.find(key);
    const bool writing = (access & platform::kGenericWrite) != 0;
    using platform::Disposition;
    if (it == files_.end()) {
      if (disposition == Disposition::OpenExisting || disposition == Disposition::TruncateExisting)
        return Fail(platform::kErrorFileNotFound);
      it = files_.emplace(key, Entry{"", platform::kFileAttributeArchive}).first;
    } else {
      if (disposition == Disposition::CreateNew) return Fail(platform::kErrorAlreadyExists);
      if (writing && (it->second.attributes & platform::kFileAttributeReadonly))
        return Fail(platform::kErrorAccessDenied);
      if (disposition == Disposition::CreateAlways || disposition == Disposition::TruncateExisting)
        it->second.bytes.clear();
    }
    if (writing) ++writeOpens;
    return std::make_unique<MemoryFile>(it->second.bytes);
  }
  std::uint32_t GetAttributes(const std::string& path) override {
    const std::string key = Key(path);
    if (directories_.count(key)) return platform::kFileAttributeDirectory;
    auto it = files_.find(key);
    return it == files_.end() ? platform::kInvalidFileAttributes : it->second.attributes;
  }
  bool SetAttributes(const std::string&, std::uint32_t) override { return false; }
  bool CreateDirectory(const std::string& path) override {
    return directories_.insert(Key(path)).second;
  }
  bool RemoveDirectory(const std::string&) override { return false; }
  bool DeleteFile(const std::string& path) override { return files_.erase(Key(path)) > 0; }
  bool DeleteOnRestart(const std::string&) override { return false; }
  bool MoveReplacing(const std::string&, const std::string&) override { return false; }
  bool Move(const std::string&, const std::string&) override { return false; }
  std::vector<platform::FindData> Find(const std::string&) override { return {}; }
  std::string GetCurrentDirectory() override { return currentDirectory_; }
  bool SetCurrentDirectory(const std::string& path) override {
    currentDirectory_ = path;
    return true;
  }
  std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
  std::string SystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
  std::string ModuleFileName() override { return "A:\\SETUP.EXE"; }
  std::uint32_t LastError() override { return lastError_; }

 private:
  struct Entry {
    std::string bytes;
    std::uint32_t attributes = 0;
  };
  class MemoryFile : public platform::File {
   public:
    explicit MemoryFile(std::string& bytes) : bytes_(bytes) {}
    std::int64_t Read(void* buffer, std::uint32_t size) override {
      const std::size_t count = std::min<std::size_t>(size, bytes_.size() - position_);
      std::memcpy(buffer, bytes_.data() + position_, count);
      position_ += count;
      return static_cast<std::int64_t>(count);
    }
    std::int64_t Write(const void* data, std::uint32_t size) override {
      bytes_.replace(position_, size, static_cast<const char*>(data), size);
      position_ += size;
      return size;
    }
    bool SetLastWriteTime(platform::FileTime) override { return true; }

   private:
    std::string& bytes_;
    std::size_t position_ = 0;
  };

  // The upper-cased full path: "/" as "\", relative paths taken from the current directory.
  std::string Key(std::string path) const {
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.find(':') == std::string::npos) path = currentDirectory_ + "\\" + path;
    return script::UpperAscii(path);
  }
  static std::string Parent(const std::string& key) {
    const std::size_t slash = key.rfind('\\');
    return slash == std::string::npos ? "" : key.substr(0, slash);
  }
  std::nullptr_t Fail(std::uint32_t error) {
    lastError_ = error;
    return nullptr;
  }

  std::map<std::string, Entry> files_;
  std::set<std::string> directories_{"C:"};
  std::string currentDirectory_ = "C:";
  std::uint32_t lastError_ = 0;
};

}  // namespace sandbox::test
