#include "tools/medium/Szdd.h"

#include <array>
#include <vector>

#include "platform/SzddHeader.h"

namespace medium {
namespace {

constexpr char kSignature[] = "SZDD\x88\xF0\x27\x33";
constexpr std::size_t kRing = 4096;
constexpr std::size_t kRingStart = kRing - 16;  // where the expander writes its first byte
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
// A match may reach back as far as the ring holds bytes the lookahead has not overwritten.
constexpr std::size_t kMaxDistance = kRing - kMaxMatch;
constexpr std::size_t kHashBits = 14;
// Candidates tried per position; enough to find nearly every longest match in the ring.
constexpr int kMaxChain = 512;
constexpr std::int32_t kNone = -1;

std::uint32_t Hash(const unsigned char* p) {
  return ((static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) |
          p[2]) *
             2654435761u >>
         (32 - kHashBits);
}

// Hash chains over the last ring of input: head per hash, previous position per slot.
class MatchFinder {
 public:
  explicit MatchFinder(std::string_view data)
      : data_(reinterpret_cast<const unsigned char*>(data.data())), size_(data.size()) {
    head_.fill(kNone);
    prev_.fill(kNone);
  }

  void Insert(std::size_t pos) {
    if (pos + kMinMatch > size_) return;
    const std::uint32_t h = Hash(data_ + pos);
    prev_[pos % kRing] = head_[h];
    head_[h] = static_cast<std::int32_t>(pos);
  }

  // The longest earlier match at `pos`: its length (0 for none) and where it starts.
  std::size_t Longest(std::size_t pos, std::size_t& from) const {
    if (pos + kMinMatch > size_) return 0;
    const std::size_t limit = std::min(kMaxMatch, size_ - pos);
    std::size_t best = 0;
    std::int32_t candidate = head_[Hash(data_ + pos)];
    for (int tries = 0; candidate != kNone && tries < kMaxChain; ++tries) {
      const auto c = static_cast<std::size_t>(candidate);
      if (c >= pos || pos - c > kMaxDistance) break;
      std::size_t length = 0;
      while (length < limit && data_[c + length] == data_[pos + length]) ++length;
      if (length > best) {
        best = length;
        from = c;
        if (best == limit) break;
      }
      const std::int32_t next = prev_[c % kRing];
      if (next >= candidate) break;  // the slot was reused by a later position
      candidate = next;
    }
    return best >= kMinMatch ? best : 0;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::array<std::int32_t, std::size_t{1} << kHashBits> head_;
  std::array<std::int32_t, kRing> prev_;
};

void PutLength(std::string& out, std::uint32_t length) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
}

}  // namespace

std::string CompressSzdd(std::string_view data, char lastNameLetter) {
  std::string out(kSignature, 8);
  out.push_back('A');
  out.push_back(lastNameLetter);
  PutLength(out, static_cast<std::uint32_t>(data.size()));
  out.reserve(out.size() + data.size() + data.size() / 8 + 1);

  MatchFinder finder(data);
  std::size_t control = 0;  // offset of the control byte of the present group
  int items = 8;
  std::size_t pos = 0;
  while (pos < data.size()) {
    if (items == 8) {
      control = out.size();
      out.push_back(0);
      items = 0;
    }
    std::size_t from = 0;
    std::size_t length = finder.Longest(pos, from);
    // One step of lazy matching: a longer match at the next byte is worth a literal here.
    if (length > 0 && length < kMaxMatch) {
      std::size_t nextFrom = 0;
      finder.Insert(pos);
      const std::size_t next = finder.Longest(pos + 1, nextFrom);
      if (next > length) length = 0;
    } else {
      finder.Insert(pos);
    }
    if (length == 0) {
      out[control] = static_cast<char>(out[control] | (1 << items));
      out.push_back(data[pos]);
      ++pos;
    } else {
      const std::size_t ring = (kRingStart + from) % kRing;
      out.push_back(static_cast<char>(ring & 0xFF));
      out.push_back(static_cast<char>(((ring >> 4) & 0xF0) | (length - kMinMatch)));
      for (std::size_t i = 1; i < length; ++i) finder.Insert(pos + i);
      pos += length;
    }
    ++items;
  }
  return out;
}

SzddExpansion ExpandSzdd(std::string_view file) {
  SzddExpansion result;
  const std::optional<platform::SzddHeader> header = platform::ReadSzddHeader(file);
  if (!header) return result;
  result.headerOk = true;
  result.declaredLength = header->expandedLength;

  std::vector<unsigned char> ring(kRing, ' ');
  std::size_t write = kRingStart;
  std::size_t in = platform::kSzddHeaderSize;
  const auto emit = [&](unsigned char c) {
    ring[write] = c;
    write = (write + 1) % kRing;
    if (result.expandedLength < result.declaredLength) result.bytes.push_back(static_cast<char>(c));
    ++result.expandedLength;
  };
  result.streamOk = true;
  while (in < file.size()) {
    const auto control = static_cast<unsigned char>(file[in++]);
    for (int bit = 0; bit < 8 && in < file.size(); ++bit) {
      if (control & (1 << bit)) {
        emit(static_cast<unsigned char>(file[in++]));
        continue;
      }
      if (in + 1 >= file.size()) {
        result.streamOk = false;
        return result;
      }
      const auto low = static_cast<unsigned char>(file[in]);
      const auto high = static_cast<unsigned char>(file[in + 1]);
      in += 2;
      std::size_t from = low | ((high & 0xF0u) << 4);
      const std::size_t length = (high & 0x0Fu) + kMinMatch;
      for (std::size_t i = 0; i < length; ++i) {
        emit(ring[from]);
        from = (from + 1) % kRing;
      }
    }
  }
  return result;
}

}  // namespace medium
