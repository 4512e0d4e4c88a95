// Where the record of the state before is kept: keys of our own below HKEY_LOCAL_MACHINE,
// where an ordinary user cannot write, one key per product. The record is a list of texts,
// appended one by one as the installation goes, each a value of its own: one registry write
// for each. The 95 family's registry refuses a value of more than 16,300 bytes and holds about
// 64 KB of values in one key, so the record is kept in numbered keys below the product's key,
// a new one begun before the last would pass a share of that, and a long text goes in
// pieces.
//
//   HKLM\SOFTWARE\Tavrin\Setup\Records\<name>\1    values "1", "2", ... (REG_SZ)
//                                             \2    ...
//
// The keys on the way to the records belong to all products' records: the first record
// notes in the value "MadeFrom" of kRecordsKey how many of its levels were there before it,
// and the last record to go takes the others with it.
//
// Each value holds one piece, after a mark: "=" a whole text, "<" the first piece of a longer
// one, "+" a piece in the middle and ">" its last piece. A text whose last piece was never
// written (the installation stopped in between) is no text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace engine {

// The key below which every product's record lies.
inline constexpr char kRecordsKey[] = "SOFTWARE\\Tavrin\\Setup\\Records";

// The longest piece of a text in one value, and how many bytes of values one key takes at
// most (counting each value's name, data and a share for the registry's own bookkeeping).
inline constexpr std::size_t kRecordPieceBytes = 16000;
inline constexpr std::size_t kRecordKeyBytes = 48 * 1024;

// The record's key of a product: one level below kRecordsKey named for the display name's
// levels (as its uninstall entry nests them), "\" written "%5C" and "%" written "%25" so that
// no product's record lies inside another's. Nothing when the name gives no uninstall entry.
std::optional<std::string> RecordKey(const std::string& displayName);

// The texts of the record at `recordKey`, in the order they were appended; nothing when
// there is no record there.
std::optional<std::vector<std::string>> ReadRecord(platform::Registry& registry,
                                                   const std::string& recordKey);

// Deletes the record at `recordKey` with all its keys, and the keys on the way to it that
// the records made once no record is left; true when the record is gone.
bool DeleteRecord(platform::Registry& registry, const std::string& recordKey);

// A record read, and appended to. Its keys are made at the first text appended; the key
// written to stays open while the object lives.
class RecordStore {
 public:
  // Reads the record at `recordKey`, if there is one.
  RecordStore(platform::Registry& registry, std::string recordKey);
  ~RecordStore();
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;

  // The texts the record held when it was read.
  const std::vector<std::string>& Texts() const { return texts_; }
  // Appends a text, making the record when there is none; false when it could not be
  // written whole, which leaves no text.
  bool Append(const std::string& text);

 private:
  bool Open();
  bool OpenChunk(std::uint32_t number);
  bool WritePiece(char mark, std::string_view piece);

  platform::Registry& registry_;
  std::string recordKey_;
  std::vector<std::string> texts_;
  std::uint32_t lastChunk_ = 0;     // the last key the record had when read (0: none)
  std::uint32_t lastValue_ = 1;     // the number of that key's next value
  std::size_t lastChunkBytes_ = 0;  // the bytes its values took
  platform::HKey chunk_ = 0;        // the key appended to, open
  std::uint32_t chunkNumber_ = 0;   // its number
  std::uint32_t nextValue_ = 1;     // the number of its next value
  std::size_t chunkBytes_ = 0;      // the bytes its values take
};

}  // namespace engine
