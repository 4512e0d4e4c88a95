// The REGEDIT4 text form of the emulated registry: readable, diffable and importable on
// Windows.
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\X]
//   @="default value"
//   "Path"="C:\\X"
//   "Count"=dword:0000001f
//   "Blob"=hex:01,02,ff
//
// A key is written when it has values or no subkeys (its parents are then implied); a
// root only when it has values. Keys come in tree order, subkeys and values sorted
// without regard to case. REG_SZ text goes between quotes with \ and " escaped, unless it
// holds a zero, CR or LF byte: then it is written as hex(1) with its terminating zero.
// Four-byte REG_DWORD is dword:, REG_BINARY hex:, every other type hex(N): with the
// stored bytes. Long hex lines continue on the next line after ",\". Lines end in CR LF.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/RegistryTree.h"

namespace sandbox {

// The whole file text for the given roots, in their order.
std::string FormatRegFile(const std::vector<std::shared_ptr<RegKey>>& roots);

// Adds the keys and values of REGEDIT4 text to the roots whose names (any case) the key
// lines start with. Lines that cannot be read, and values of keys with an unknown root,
// are skipped; damaged text never throws.
void ParseRegFile(std::string_view text, const std::vector<std::shared_ptr<RegKey>>& roots);

}  // namespace sandbox
