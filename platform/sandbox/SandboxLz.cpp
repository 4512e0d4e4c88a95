#include "platform/sandbox/SandboxLz.h"

#include <mspack.h>

#include "platform/SzddHeader.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace sandbox {
namespace {

// The signature is its first eight bytes: as many are read before deciding.
constexpr std::size_t kSzddSignatureSize = 8;

// libmspack names its files by text; these are the only two an expansion uses.
constexpr char kInputName[] = "input";
constexpr char kOutputName[] = "output";

// Expanded bytes go from the worker to the reader in blocks of kBlockSize, and at most
// kQueuedBlocks of them wait at once. With the block being filled, the one being read and
// the input buffer, an open compressed file holds well under a MiB whatever its size.
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kQueuedBlocks = 4;
// libmspack asks for 2048 bytes at a time; the file is read in larger blocks.
constexpr std::size_t kInputBlockSize = 64 * 1024;

// A block of expanded bytes: `size` of them are used.
struct Block {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
};

// Blocks on their way from the worker to the reader, at most kQueuedBlocks at once.
class BlockQueue {
 public:
  enum class Next { Block, End, Failed };

  // Worker: queues `block`, waiting while the queue is full. False once the reader is gone.
  bool Push(Block block) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return readerGone_ || blocks_.size() < kQueuedBlocks; });
    if (readerGone_) return false;
    blocks_.push_back(std::move(block));
    ready_.notify_one();
    return true;
  }
  // Worker: no more blocks come; `expanded` tells whether the stream was expanded to its end.
  void Finish(bool expanded) {
    std::lock_guard lock(mutex_);
    finished_ = true;
    expanded_ = expanded;
    ready_.notify_one();
  }
  // Reader: waits for the next block and moves it into `block`; once the queue is empty
  // and the worker has finished, tells how the expansion ended.
  Next Pop(Block& block) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return finished_ || !blocks_.empty(); });
    if (blocks_.empty()) return expanded_ ? Next::End : Next::Failed;
    block = std::move(blocks_.front());
    blocks_.pop_front();
    room_.notify_one();
    return Next::Block;
  }
  // Reader: nothing more will be read. The queued blocks are freed and every later Push
  // fails, which ends the worker's extraction.
  void Abandon() {
    std::lock_guard lock(mutex_);
    readerGone_ = true;
    blocks_.clear();
    room_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable room_;   // the worker waits here while the queue is full
  std::condition_variable ready_;  // the reader waits here while it is empty
  std::deque<Block> blocks_;
  bool finished_ = false;
  bool expanded_ = false;
  bool readerGone_ = false;
};

// The compressed file as libmspack reads it: the bytes already read while looking for the
// signature, then the platform file in blocks.
struct InputStream {
  platform::File* file = nullptr;
  std::string head;
  std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(kInputBlockSize);
  std::size_t begin = 0;
  std::size_t end = 0;
  std::uint64_t position = 0;
};

// Where libmspack writes: blocks filled here are handed to the queue. The whole stream is
// delivered whatever length the header declares, as lz32 delivers it; the reader decides
// what a stream of another length means.
struct OutputSink {
  BlockQueue* queue = nullptr;
  Block block;

  // Hands the bytes gathered so far to the reader; false once the reader is gone.
  bool Flush() {
    if (block.size == 0) return true;
    return queue->Push(std::exchange(block, Block{}));
  }
};

// An mspack_system whose two files are the stream above and the sink, never host paths.
// libmspack hands the `base` pointer back to its callbacks, so `base` must stay first.
struct StreamSystem {
  mspack_system base;
  InputStream* input;
  OutputSink* output;
};
static_assert(std::is_standard_layout_v<StreamSystem>);

InputStream& AsInput(mspack_file* file) {
  return *reinterpret_cast<InputStream*>(file);
}

OutputSink& AsOutput(mspack_file* file) {
  return *reinterpret_cast<OutputSink*>(file);
}

mspack_file* OpenStream(mspack_system* self, const char* name, int mode) {
  auto* system = reinterpret_cast<StreamSystem*>(self);
  if (mode == MSPACK_SYS_OPEN_READ && std::strcmp(name, kInputName) == 0)
    return reinterpret_cast<mspack_file*>(system->input);
  if (mode == MSPACK_SYS_OPEN_WRITE && std::strcmp(name, kOutputName) == 0)
    return reinterpret_cast<mspack_file*>(system->output);
  return nullptr;
}

int ReadInput(mspack_file* file, void* buffer, int bytes) {
  InputStream& input = AsInput(file);
  if (bytes < 0) return -1;
  char* out = static_cast<char*>(buffer);
  const auto wanted = static_cast<std::size_t>(bytes);
  std::size_t done = 0;
  while (done < wanted) {
    std::size_t count = 0;
    if (input.position < input.head.size()) {
      count = std::min(input.head.size() - input.position, wanted - done);
      std::memcpy(out + done, input.head.data() + input.position, count);
    } else {
      if (input.begin == input.end) {
        const std::int64_t read =
            input.file->Read(input.buffer.get(), static_cast<std::uint32_t>(kInputBlockSize));
        // The bytes before a failure go first; the failure comes with the next call.
        if (read < 0) return done > 0 ? static_cast<int>(done) : -1;
        if (read == 0) break;
        input.begin = 0;
        input.end = static_cast<std::size_t>(read);
      }
      count = std::min(input.end - input.begin, wanted - done);
      std::memcpy(out + done, input.buffer.get() + input.begin, count);
      input.begin += count;
    }
    done += count;
    input.position += count;
  }
  return static_cast<int>(done);
}

int WriteOutput(mspack_file* file, void* buffer, int bytes) {
  OutputSink& output = AsOutput(file);
  if (bytes < 0) return -1;
  const char* from = static_cast<const char*>(buffer);
  auto todo = static_cast<std::size_t>(bytes);
  while (todo > 0) {
    if (!output.block.bytes) {
      // An exception must not cross libmspack's C frames: no memory fails the write.
      try {
        output.block.bytes = std::make_unique_for_overwrite<char[]>(kBlockSize);
      } catch (const std::bad_alloc&) {
        return -1;
      }
    }
    const std::size_t count = std::min(todo, kBlockSize - output.block.size);
    std::memcpy(output.block.bytes.get() + output.block.size, from, count);
    output.block.size += count;
    from += count;
    todo -= count;
    if (output.block.size == kBlockSize && !output.Flush()) return -1;
  }
  return bytes;
}

// libmspack seeks only to the data that follows the header, which is where the header
// read left the stream; any other move is refused.
int SeekInput(mspack_file* file, off_t offset, int mode) {
  const InputStream& input = AsInput(file);
  const auto here = static_cast<off_t>(input.position);
  const off_t target = mode == MSPACK_SYS_SEEK_CUR ? here + offset : offset;
  return mode != MSPACK_SYS_SEEK_END && target == here ? 0 : -1;
}

off_t TellInput(mspack_file* file) {
  return static_cast<off_t>(AsInput(file).position);
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

// A compressed file, expanded by a worker thread of its own while it is read. Between
// Start and the destructor only the worker touches the platform file and libmspack; the
// two sides meet only in the queue. Damage in the stream, or a failing read of the file,
// fails the read that reaches it and every read after.
class StreamedLzFile : public platform::LzFile {
 public:
  StreamedLzFile(std::unique_ptr<platform::File> file, std::string head) : file_(std::move(file)) {
    input_.file = file_.get();
    input_.head = std::move(head);
    output_.queue = &queue_;
    system_.base.open = OpenStream;
    system_.base.close = [](mspack_file*) {};
    system_.base.read = ReadInput;
    system_.base.write = WriteOutput;
    system_.base.seek = SeekInput;
    system_.base.tell = TellInput;
    system_.base.message = IgnoreMessage;
    system_.base.alloc = Allocate;
    system_.base.free = Release;
    system_.base.copy = CopyMemory;
    system_.base.null_ptr = nullptr;
    system_.input = &input_;
    system_.output = &output_;
  }
  StreamedLzFile(const StreamedLzFile&) = delete;
  StreamedLzFile& operator=(const StreamedLzFile&) = delete;

  ~StreamedLzFile() override {
    queue_.Abandon();
    if (worker_.joinable()) worker_.join();
    if (header_ != nullptr) decompressor_->close(decompressor_.get(), header_);
  }

  // Reads the header and starts the expansion. False when lz32 would refuse the open: the
  // header is short or names an unknown method.
  bool Start() {
    int selfTest = MSPACK_ERR_OK;
    MSPACK_SYS_SELFTEST(selfTest);
    if (selfTest != MSPACK_ERR_OK) return false;
    decompressor_.reset(mspack_create_szdd_decompressor(&system_.base));
    if (!decompressor_) return false;
    header_ = decompressor_->open(decompressor_.get(), kInputName);
    if (header_ == nullptr || header_->format != MSSZDD_FMT_NORMAL) return false;
    try {
      worker_ = std::thread([this] { Expand(); });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  std::int32_t Read(void* buffer, std::int32_t size) override {
    if (size < 0) return kLzErrorBadValue;
    if (failed_) return kLzErrorRead;
    char* out = static_cast<char*>(buffer);
    const auto wanted = static_cast<std::size_t>(size);
    std::size_t done = 0;
    while (done < wanted) {
      if (position_ == current_.size) {
        const BlockQueue::Next next = queue_.Pop(current_);
        if (next == BlockQueue::Next::End) break;
        if (next == BlockQueue::Next::Failed) {
          failed_ = true;
          break;
        }
        position_ = 0;
      }
      const std::size_t count = std::min(current_.size - position_, wanted - done);
      std::memcpy(out + done, current_.bytes.get() + position_, count);
      position_ += count;
      done += count;
    }
    // The bytes before the damage go out first; the next read reports it.
    if (failed_ && done == 0) return kLzErrorRead;
    return static_cast<std::int32_t>(done);
  }

 private:
  // The worker: expands the whole stream into the queue, then says how it ended.
  void Expand() {
    const int result = decompressor_->extract(decompressor_.get(), header_, kOutputName);
    const bool expanded = result == MSPACK_ERR_OK;
    output_.Flush();
    queue_.Finish(expanded);
  }

  std::unique_ptr<platform::File> file_;  // held open for its deny-write sharing
  InputStream input_;
  BlockQueue queue_;
  OutputSink output_;
  StreamSystem system_{};
  std::unique_ptr<msszdd_decompressor, DecompressorDeleter> decompressor_;
  msszddd_header* header_ = nullptr;
  std::thread worker_;
  // The reader's side.
  Block current_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<platform::LzFile> SandboxLz::Open(const std::string& path) {
  std::unique_ptr<platform::File> file = files_.Open(
      path, platform::kGenericRead, platform::kFileShareRead, platform::Disposition::OpenExisting);
  if (!file) return nullptr;
  std::string head;
  if (!ReadMore(*file, head, kSzddSignatureSize)) return nullptr;
  if (!platform::HasSzddSignature(head))
    return std::make_unique<PlainLzFile>(std::move(file), head);

  auto expanded = std::make_unique<StreamedLzFile>(std::move(file), std::move(head));
  if (!expanded->Start()) return nullptr;
  return expanded;
}

}  // namespace sandbox
