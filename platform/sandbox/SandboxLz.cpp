#include "platform/sandbox/SandboxLz.h"

#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace sandbox {
namespace {

constexpr unsigned char kSzddSignature[] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
constexpr std::size_t kSzddSignatureSize = sizeof(kSzddSignature);

// libmspack names its files by text; these are the only two an expansion uses.
constexpr char kInputName[] = "input";
constexpr char kOutputName[] = "output";

// One of the two memory files of an expansion, as libmspack's opaque mspack_file.
struct MemoryFile {
  const std::string* input = nullptr;  // set for the compressed image
  std::string* output = nullptr;       // set for the expanded data
  std::size_t position = 0;
};

// An mspack_system whose files are memory buffers, never host paths. libmspack hands the
// `base` pointer back to open(), so `base` must stay the first member.
struct MemorySystem {
  mspack_system base;
  MemoryFile inputFile;
  MemoryFile outputFile;
};
static_assert(std::is_standard_layout_v<MemorySystem>);

MemoryFile* AsMemory(mspack_file* file) {
  return reinterpret_cast<MemoryFile*>(file);
}

mspack_file* OpenMemory(mspack_system* self, const char* name, int mode) {
  auto* system = reinterpret_cast<MemorySystem*>(self);
  if (mode == MSPACK_SYS_OPEN_READ && std::strcmp(name, kInputName) == 0) {
    system->inputFile.position = 0;
    return reinterpret_cast<mspack_file*>(&system->inputFile);
  }
  if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(name, kOutputName) == 0) {
    system->outputFile.output->clear();
    return reinterpret_cast<mspack_file*>(&system->outputFile);
  }
  return nullptr;
}

int ReadMemory(mspack_file* file, void* buffer, int bytes) {
  MemoryFile* memory = AsMemory(file);
  if (memory->input == nullptr || bytes < 0) return -1;
  const std::size_t left = memory->input->size() - memory->position;
  const std::size_t count = std::min(left, static_cast<std::size_t>(bytes));
  std::memcpy(buffer, memory->input->data() + memory->position, count);
  memory->position += count;
  return static_cast<int>(count);
}

int WriteMemory(mspack_file* file, void* buffer, int bytes) {
  MemoryFile* memory = AsMemory(file);
  if (memory->output == nullptr || bytes < 0) return -1;
  memory->output->append(static_cast<const char*>(buffer), static_cast<std::size_t>(bytes));
  return bytes;
}

int SeekMemory(mspack_file* file, off_t offset, int mode) {
  MemoryFile* memory = AsMemory(file);
  const off_t size =
      static_cast<off_t>(memory->input != nullptr ? memory->input->size() : memory->output->size());
  off_t base = 0;
  if (mode == MSPACK_SYS_SEEK_CUR) base = static_cast<off_t>(memory->position);
  if (mode == MSPACK_SYS_SEEK_END) base = size;
  if (offset < -base || offset > size - base) return -1;
  memory->position = static_cast<std::size_t>(base + offset);
  return 0;
}

off_t TellMemory(mspack_file* file) {
  return static_cast<off_t>(AsMemory(file)->position);
}

void IgnoreMessage(mspack_file*, const char*, ...) {}

void* Allocate(mspack_system*, std::size_t bytes) {
  return std::malloc(bytes);
}

void Release(void* pointer) {
  std::free(pointer);
}

void CopyMemory(void* source, void* destination, std::size_t bytes) {
  std::memcpy(destination, source, bytes);
}

struct DecompressorDeleter {
  void operator()(msszdd_decompressor* decompressor) const {
    mspack_destroy_szdd_decompressor(decompressor);
  }
};

// An open SZDD header, closed through its decompressor.
class HeaderGuard {
 public:
  HeaderGuard(msszdd_decompressor& decompressor, msszddd_header* header)
      : decompressor_(decompressor), header_(header) {}
  HeaderGuard(const HeaderGuard&) = delete;
  HeaderGuard& operator=(const HeaderGuard&) = delete;
  ~HeaderGuard() {
    if (header_ != nullptr) decompressor_.close(&decompressor_, header_);
  }
  msszddd_header* get() const { return header_; }

 private:
  msszdd_decompressor& decompressor_;
  msszddd_header* header_;
};

// Reads up to `wanted` more bytes into `bytes`; false when the file reports a failure.
bool ReadMore(platform::File& file, std::string& bytes, std::size_t wanted) {
  char block[8192];
  while (wanted > 0) {
    const auto chunk = static_cast<std::uint32_t>(std::min(wanted, sizeof(block)));
    const std::int64_t count = file.Read(block, chunk);
    if (count < 0) return false;
    if (count == 0) return true;
    bytes.append(block, static_cast<std::size_t>(count));
    wanted -= static_cast<std::size_t>(count);
  }
  return true;
}

// Hands out up to `size` bytes from `bytes` at `position`.
std::int32_t Deliver(const std::string& bytes, std::size_t& position, void* buffer,
                     std::int32_t size) {
  const std::size_t count = std::min(bytes.size() - position, static_cast<std::size_t>(size));
  if (count > 0) std::memcpy(buffer, bytes.data() + position, count);
  position += count;
  return static_cast<std::int32_t>(count);
}

// A file without the SZDD signature: the bytes read while looking for the signature,
// then the rest of the file as it comes.
class PlainLzFile : public platform::LzFile {
 public:
  PlainLzFile(std::unique_ptr<platform::File> file, std::string prefix)
      : file_(std::move(file)), prefix_(std::move(prefix)) {}

  std::int32_t Read(void* buffer, std::int32_t size) override {
    if (size < 0) return kLzErrorBadValue;
    if (prefixPosition_ < prefix_.size()) {
      const std::int32_t count = Deliver(prefix_, prefixPosition_, buffer, size);
      if (count == size) return count;
      const std::int64_t more =
          file_->Read(static_cast<char*>(buffer) + count, static_cast<std::uint32_t>(size - count));
      return more < 0 ? kLzErrorRead : count + static_cast<std::int32_t>(more);
    }
    const std::int64_t count = file_->Read(buffer, static_cast<std::uint32_t>(size));
    return count < 0 ? kLzErrorRead : static_cast<std::int32_t>(count);
  }

 private:
  std::unique_ptr<platform::File> file_;
  std::string prefix_;
  std::size_t prefixPosition_ = 0;
};

// A compressed file, expanded when opened. A stream that could not be expanded fails
// every read, as LZRead does when it meets damaged data.
class ExpandedLzFile : public platform::LzFile {
 public:
  ExpandedLzFile(std::unique_ptr<platform::File> file, std::string expanded, bool damaged)
      : file_(std::move(file)), expanded_(std::move(expanded)), damaged_(damaged) {}

  std::int32_t Read(void* buffer, std::int32_t size) override {
    if (damaged_) return kLzErrorRead;
    if (size < 0) return kLzErrorBadValue;
    return Deliver(expanded_, position_, buffer, size);
  }

 private:
  std::unique_ptr<platform::File> file_;  // held open for its deny-write sharing
  std::string expanded_;
  std::size_t position_ = 0;
  bool damaged_ = false;
};

}  // namespace

bool HasSzddSignature(const std::string& bytes) {
  return bytes.size() >= kSzddSignatureSize &&
         std::memcmp(bytes.data(), kSzddSignature, kSzddSignatureSize) == 0;
}

SzddExpansion ExpandSzdd(const std::string& compressed) {
  SzddExpansion result;
  int selfTest = MSPACK_ERR_OK;
  MSPACK_SYS_SELFTEST(selfTest);
  if (selfTest != MSPACK_ERR_OK) return result;

  MemorySystem system{};
  system.base.open = OpenMemory;
  system.base.close = [](mspack_file*) {};
  system.base.read = ReadMemory;
  system.base.write = WriteMemory;
  system.base.seek = SeekMemory;
  system.base.tell = TellMemory;
  system.base.message = IgnoreMessage;
  system.base.alloc = Allocate;
  system.base.free = Release;
  system.base.copy = CopyMemory;
  system.base.null_ptr = nullptr;
  system.inputFile.input = &compressed;
  system.outputFile.output = &result.bytes;

  std::unique_ptr<msszdd_decompressor, DecompressorDeleter> decompressor(
      mspack_create_szdd_decompressor(&system.base));
  if (!decompressor) return result;
  HeaderGuard header(*decompressor, decompressor->open(decompressor.get(), kInputName));
  if (header.get() == nullptr || header.get()->format != MSSZDD_FMT_NORMAL) return result;
  const off_t declared = header.get()->length;
  if (decompressor->extract(decompressor.get(), header.get(), kOutputName) != MSPACK_ERR_OK) {
    result.status = SzddExpansion::Status::BadStream;
    result.bytes.clear();
    return result;
  }
  if (declared >= 0 && static_cast<std::uint64_t>(declared) < result.bytes.size()) {
    result.bytes.resize(static_cast<std::size_t>(declared));
  }
  result.status = SzddExpansion::Status::Expanded;
  return result;
}

std::unique_ptr<platform::LzFile> SandboxLz::Open(const std::string& path) {
  std::unique_ptr<platform::File> file = files_.Open(
      path, platform::kGenericRead, platform::kFileShareRead, platform::Disposition::OpenExisting);
  if (!file) return nullptr;
  std::string head;
  if (!ReadMore(*file, head, kSzddSignatureSize)) return nullptr;
  if (!HasSzddSignature(head)) return std::make_unique<PlainLzFile>(std::move(file), head);

  std::string compressed = head;
  if (!ReadMore(*file, compressed, SIZE_MAX)) return nullptr;
  SzddExpansion expansion = ExpandSzdd(compressed);
  if (expansion.status == SzddExpansion::Status::BadHeader) return nullptr;
  const bool damaged = expansion.status == SzddExpansion::Status::BadStream;
  return std::make_unique<ExpandedLzFile>(std::move(file), std::move(expansion.bytes), damaged);
}

}  // namespace sandbox
