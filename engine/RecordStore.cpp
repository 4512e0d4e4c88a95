#include "engine/RecordStore.h"

#include <algorithm>
#include <utility>

#include "engine/UninstallEntry.h"
#include "platform/WinTypes.h"

namespace engine {
namespace {

// What one value takes of its key's room: its name, its data with the terminating zero,
// and a share for what the registry keeps beside them.
constexpr std::size_t kValueOverhead = 16;

std::size_t ValueCost(const std::string& name, std::size_t dataSize) {
  return name.size() + dataSize + 1 + kValueOverhead;
}

constexpr char kMadeFromValue[] = "MadeFrom";

// How many levels of kRecordsKey a record made before kept as theirs when they did not say:
// "SOFTWARE\Tavrin" is not only ours.
constexpr std::uint32_t kSharedLevels = 2;

std::string ChunkPath(const std::string& recordKey, std::uint32_t number) {
  return recordKey + "\\" + std::to_string(number);
}

// What the record holds, read from its keys, and where the next piece goes.
struct Loaded {
  bool exists = false;
  std::vector<std::string> texts;
  std::uint32_t lastChunk = 0;  // 0 when there is none
  std::uint32_t nextValue = 1;
  std::size_t lastChunkBytes = 0;
};

Loaded Load(platform::Registry& registry, const std::string& recordKey) {
  Loaded loaded;
  if (OpenedKey(registry, platform::kHkeyLocalMachine, recordKey).Handle() == 0) return loaded;
  loaded.exists = true;
  std::optional<std::string> pending;  // a text whose last piece has not come yet
  for (std::uint32_t chunk = 1;; ++chunk) {
    const OpenedKey key(registry, platform::kHkeyLocalMachine, ChunkPath(recordKey, chunk));
    if (key.Handle() == 0) break;
    loaded.lastChunk = chunk;
    loaded.nextValue = 1;
    loaded.lastChunkBytes = 0;
    std::uint32_t type = 0;
    std::string data;
    for (;; ++loaded.nextValue) {
      const std::string name = std::to_string(loaded.nextValue);
      if (registry.QueryValue(key.Handle(), name, type, data) != platform::kErrorSuccess) break;
      loaded.lastChunkBytes += ValueCost(name, data.size());
      if (type != platform::kRegSz || data.empty()) {
        pending.reset();
        continue;
      }
      const std::string_view piece = std::string_view(data).substr(1);
      switch (data.front()) {
        case '=':
          pending.reset();
          loaded.texts.emplace_back(piece);
          break;
        case '<':
          pending.emplace(piece);
          break;
        case '+':
          if (pending) pending->append(piece);
          break;
        case '>':
          if (pending) loaded.texts.push_back(*pending + std::string(piece));
          pending.reset();
          break;
        default:
          pending.reset();
          break;
      }
    }
  }
  return loaded;
}

}  // namespace

std::optional<std::string> RecordKey(const std::string& displayName) {
  // A name with no entry of its own has no record either.
  if (!UninstallEntryKey(displayName)) return std::nullopt;
  std::string name;
  for (char c : displayName) {
    if (c == '\\') {
      name += "%5C";
    } else if (c == '%') {
      name += "%25";
    } else {
      name += c;
    }
  }
  return std::string(kRecordsKey) + "\\" + name;
}

std::optional<std::vector<std::string>> ReadRecord(platform::Registry& registry,
                                                   const std::string& recordKey) {
  Loaded loaded = Load(registry, recordKey);
  if (!loaded.exists) return std::nullopt;
  return std::move(loaded.texts);
}

namespace {

// The keys on the way to the records that the records made, once none is left below them.
void TidyRecordsKey(platform::Registry& registry) {
  std::uint32_t keep = kSharedLevels;
  {
    const OpenedKey records(registry, platform::kHkeyLocalMachine, kRecordsKey);
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    if (records.Handle() == 0 || registry.QueryInfo(records.Handle(), subKeys, values) != 0 ||
        subKeys > 0)
      return;
    std::uint32_t type = 0;
    std::string data;
    if (registry.QueryValue(records.Handle(), kMadeFromValue, type, data) == 0 &&
        type == platform::kRegDword)
      keep = DwordValue(data);
  }
  const std::vector<std::string> levels = KeyLevels(kRecordsKey);
  for (std::size_t depth = levels.size(); depth > keep; --depth) {
    const std::string path = JoinLevels(levels, depth);
    std::uint32_t subKeys = 0;
    std::uint32_t values = 0;
    {
      const OpenedKey key(registry, platform::kHkeyLocalMachine, path);
      if (key.Handle() == 0 || registry.QueryInfo(key.Handle(), subKeys, values) != 0) return;
    }
    // The records key's own value goes with it; any other key must be empty.
    if (subKeys > 0 || (depth < levels.size() && values > 0)) return;
    if (registry.DeleteKey(platform::kHkeyLocalMachine, path) != 0) return;
  }
}

}  // namespace

bool DeleteRecord(platform::Registry& registry, const std::string& recordKey) {
  {
    const OpenedKey record(registry, platform::kHkeyLocalMachine, recordKey);
    if (record.Handle() == 0) return true;
    // Every key below the record is one of its own; each goes with its values.
    std::string name;
    while (registry.EnumKey(record.Handle(), 0, name) == platform::kErrorSuccess) {
      if (registry.DeleteKey(record.Handle(), name) != platform::kErrorSuccess) return false;
    }
  }
  if (registry.DeleteKey(platform::kHkeyLocalMachine, recordKey) != platform::kErrorSuccess)
    return false;
  TidyRecordsKey(registry);
  return true;
}

RecordStore::RecordStore(platform::Registry& registry, std::string recordKey)
    : registry_(registry), recordKey_(std::move(recordKey)) {
  Loaded loaded = Load(registry_, recordKey_);
  texts_ = std::move(loaded.texts);
  lastChunk_ = loaded.lastChunk;
  lastValue_ = loaded.nextValue;
  lastChunkBytes_ = loaded.lastChunkBytes;
}

RecordStore::~RecordStore() {
  if (chunk_ != 0) registry_.CloseKey(chunk_);
}

bool RecordStore::Open() {
  // The first record notes which keys on its way were there before it.
  const std::vector<std::string> levels = KeyLevels(kRecordsKey);
  std::uint32_t there = 0;
  while (
      there < levels.size() &&
      OpenedKey(registry_, platform::kHkeyLocalMachine, JoinLevels(levels, there + 1)).Handle() !=
          0)
    ++there;
  if (!OpenChunk(std::max<std::uint32_t>(lastChunk_, 1))) return false;
  if (there < levels.size()) {
    const OpenedKey records(registry_, platform::kHkeyLocalMachine, kRecordsKey);
    if (records.Handle() == 0 ||
        registry_.SetValue(records.Handle(), kMadeFromValue, platform::kRegDword,
                           DwordData(there)) != platform::kErrorSuccess) {
      registry_.CloseKey(chunk_);
      chunk_ = 0;
      return false;
    }
  }
  // The record goes on where it ended.
  if (lastChunk_ != 0) {
    nextValue_ = lastValue_;
    chunkBytes_ = lastChunkBytes_;
  }
  return true;
}

bool RecordStore::OpenChunk(std::uint32_t number) {
  if (chunk_ != 0) registry_.CloseKey(chunk_);
  chunk_ = 0;
  platform::HKey handle = 0;
  if (registry_.CreateKey(platform::kHkeyLocalMachine, ChunkPath(recordKey_, number),
                          platform::kKeyAllAccess, handle) != platform::kErrorSuccess)
    return false;
  chunk_ = handle;
  chunkNumber_ = number;
  nextValue_ = 1;
  chunkBytes_ = 0;
  return true;
}

bool RecordStore::WritePiece(char mark, std::string_view piece) {
  const std::string name = std::to_string(nextValue_);
  const std::size_t cost = ValueCost(name, piece.size() + 1);
  if (nextValue_ > 1 && chunkBytes_ + cost > kRecordKeyBytes) {
    if (!OpenChunk(chunkNumber_ + 1)) return false;
    return WritePiece(mark, piece);
  }
  std::string data(1, mark);
  data += piece;
  if (registry_.SetValue(chunk_, name, platform::kRegSz, data) != platform::kErrorSuccess)
    return false;
  ++nextValue_;
  chunkBytes_ += cost;
  return true;
}

bool RecordStore::Append(const std::string& text) {
  if (chunk_ == 0 && !Open()) return false;
  if (text.size() <= kRecordPieceBytes) return WritePiece('=', text);
  for (std::size_t at = 0; at < text.size(); at += kRecordPieceBytes) {
    const char mark = at == 0 ? '<' : at + kRecordPieceBytes >= text.size() ? '>' : '+';
    if (!WritePiece(mark, std::string_view(text).substr(at, kRecordPieceBytes))) return false;
  }
  return true;
}

}  // namespace engine
