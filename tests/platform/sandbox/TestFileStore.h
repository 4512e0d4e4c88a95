// A platform::Files held in memory for the tests of the services that read files (LZ
// expansion, COM registration): files by upper-cased path, every open recorded, and read
// failures that a test can inject.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "script/Text.h"

namespace sandbox {

class TestFileStore : public platform::Files {
 public:
  // How one Open was called.
  struct OpenCall {
    std::string path;
    std::uint32_t access = 0;
    std::uint32_t share = 0;
    platform::Disposition disposition = platform::Disposition::OpenExisting;
  };

  void Put(const std::string& path, std::string bytes) {
    files_[script::UpperAscii(path)] = std::move(bytes);
  }
  // Reads of this file fail (give -1) once `afterBytes` bytes have been delivered.
  void FailReadsAfter(const std::string& path, std::size_t afterBytes) {
    failAfter_[script::UpperAscii(path)] = afterBytes;
  }
  const std::vector<OpenCall>& Opens() const { return opens_; }
  // How many files opened through this store are still open.
  int OpenCount() const { return *openCount_; }

  std::unique_ptr<platform::File> Open(const std::string& path, std::uint32_t access,
                                       std::uint32_t share, platform::Disposition disposition,
                                       std::uint32_t = platform::kFileAttributeNormal) override {
    opens_.push_back({path, access, share, disposition});
    const std::string key = script::UpperAscii(path);
    auto found = files_.find(key);
    if (found == files_.end() || disposition != platform::Disposition::OpenExisting) {
      lastError_ = platform::kErrorFileNotFound;
      return nullptr;
    }
    auto limit = failAfter_.find(key);
    return std::make_unique<StoredFile>(
        found->second, limit == failAfter_.end() ? SIZE_MAX : limit->second, openCount_);
  }
  std::uint32_t GetAttributes(const std::string& path) override {
    return files_.contains(script::UpperAscii(path)) ? platform::kFileAttributeArchive
                                                     : platform::kInvalidFileAttributes;
  }
  bool SetAttributes(const std::string&, std::uint32_t) override { return false; }
  bool CreateDirectory(const std::string&) override { return false; }
  bool RemoveDirectory(const std::string&) override { return false; }
  bool DeleteFile(const std::string&) override { return false; }
  bool DeleteOnRestart(const std::string&) override { return false; }
  bool MoveReplacing(const std::string&, const std::string&) override { return false; }
  bool Move(const std::string&, const std::string&) override { return false; }
  std::vector<platform::FindData> Find(const std::string&) override { return {}; }
  std::string GetCurrentDirectory() override { return "C:\\"; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
  std::string SystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
  std::string ModuleFileName() override { return "D:\\SETUP.EXE"; }
  std::uint32_t LastError() override { return lastError_; }

 private:
  // A read-only view of a stored file that delivers its bytes in the sizes asked for.
  class StoredFile : public platform::File {
   public:
    StoredFile(const std::string& bytes, std::size_t failAfter, std::shared_ptr<int> openCount)
        : bytes_(bytes), failAfter_(failAfter), openCount_(std::move(openCount)) {
      ++*openCount_;
    }
    ~StoredFile() override { --*openCount_; }
    std::int64_t Read(void* buffer, std::uint32_t size) override {
      if (position_ >= failAfter_ && position_ < bytes_.size()) return -1;
      const std::size_t count = std::min<std::size_t>(
          {size, bytes_.size() - position_, failAfter_ - std::min(failAfter_, position_)});
      std::memcpy(buffer, bytes_.data() + position_, count);
      position_ += count;
      return static_cast<std::int64_t>(count);
    }
    std::int64_t Write(const void*, std::uint32_t) override { return -1; }
    bool SetLastWriteTime(platform::FileTime) override { return false; }

   private:
    std::string bytes_;
    std::size_t position_ = 0;
    std::size_t failAfter_;
    std::shared_ptr<int> openCount_;
  };

  std::map<std::string, std::string> files_;
  std::map<std::string, std::size_t> failAfter_;
  std::vector<OpenCall> opens_;
  std::shared_ptr<int> openCount_ = std::make_shared<int>(0);
  std::uint32_t lastError_ = 0;
};

}  // namespace sandbox
