// The loader of registry.reg on any text, and the round trip the machine relies on between
// runs: what a loaded registry is saved as loads back to the same registry.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sandbox/RegFile.h"
#include "platform/sandbox/RegistryTree.h"

namespace {

std::vector<std::shared_ptr<sandbox::RegKey>> MakeRoots() {
  return {sandbox::MakeRootKey("HKEY_CLASSES_ROOT"), sandbox::MakeRootKey("HKEY_CURRENT_USER"),
          sandbox::MakeRootKey("HKEY_LOCAL_MACHINE"), sandbox::MakeRootKey("HKEY_USERS")};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto roots = MakeRoots();
  sandbox::ParseRegFile(text, roots);
  const std::string saved = sandbox::FormatRegFile(roots);
  const auto reloaded = MakeRoots();
  sandbox::ParseRegFile(saved, reloaded);
  const std::string savedAgain = sandbox::FormatRegFile(reloaded);
  if (savedAgain != saved) {
    std::fprintf(stderr, "saved registry does not load back\n--- first\n%s\n--- second\n%s\n",
                 saved.c_str(), savedAgain.c_str());
    std::abort();
  }
  return 0;
}
