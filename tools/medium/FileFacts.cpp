#include "tools/medium/FileFacts.h"

#include <fstream>
#include <sstream>

#include "platform/SzddHeader.h"
#include "platform/sandbox/PeImage.h"
#include "tools/medium/Szdd.h"

namespace medium {
namespace {

bool ReadHostFile(const std::filesystem::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  bytes = text.str();
  return !in.bad();
}

// A type library as the registration loads it: a file of its own ("MSFT" or "SLTG"), or a
// program image that carries one as a resource (its data begins with the same signature).
bool HoldsTypeLibrary(const std::string& installed) {
  if (sandbox::HasTypeLibrarySignature(installed)) return true;
  if (sandbox::FindPeExport(installed, "") == sandbox::PeExportLookup::NotAnImage) return false;
  return installed.find("MSFT") != std::string::npos;
}

}  // namespace

const FileFacts& FileFactsCache::Of(const std::filesystem::path& path, bool compressed) {
  auto found = facts_.find({path, compressed});
  if (found != facts_.end()) return found->second;
  FileFacts& facts = facts_[{path, compressed}];
  std::string bytes;
  if (!ReadHostFile(path, bytes)) return facts;
  facts.readable = true;
  facts.fileSize = bytes.size();
  facts.expandedSize = bytes.size();
  facts.szdd = platform::HasSzddSignature(bytes);
  std::string installed;
  if (facts.szdd) {
    SzddExpansion expansion = ExpandSzdd(bytes);
    if (!expansion.headerOk) {
      facts.szddIntact = false;
      facts.damage = "its SZDD header is cut short or names an unknown method";
    } else {
      facts.expandedSize = expansion.declaredLength;
      if (!expansion.streamOk || expansion.expandedLength < expansion.declaredLength) {
        facts.szddIntact = false;
        facts.damage = "it is cut short: it expands to " +
                       std::to_string(expansion.expandedLength) + " of the " +
                       std::to_string(expansion.declaredLength) + " bytes its header declares";
      } else if (expansion.expandedLength > expansion.declaredLength) {
        facts.szddIntact = false;
        facts.damage = "it is damaged: it expands to " + std::to_string(expansion.expandedLength) +
                       " bytes, its header declares " + std::to_string(expansion.declaredLength);
      }
    }
    installed = compressed ? std::move(expansion.bytes) : bytes;
  } else {
    installed = std::move(bytes);
  }
  if (!compressed) facts.expandedSize = facts.fileSize;
  facts.exportsRegisterServer =
      sandbox::FindPeExport(installed, "DllRegisterServer") == sandbox::PeExportLookup::Exported;
  facts.typeLibrary = HoldsTypeLibrary(installed);
  return facts;
}

}  // namespace medium
