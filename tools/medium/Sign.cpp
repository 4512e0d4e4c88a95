#include "tools/medium/Sign.h"

#include <fstream>
#include <sstream>

#include "tools/medium/HostTool.h"
#include "tools/medium/ScratchFolder.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) throw ToolError("cannot read " + path.string());
  return bytes.str();
}

void CheckReadable(const fs::path& path, const std::string& what) {
  std::error_code error;
  if (!fs::is_regular_file(path, error) || !std::ifstream(path, std::ios::binary))
    throw ToolError("the " + what + " " + path.string() + " is not a file that can be read");
}

}  // namespace

void CheckSigningKey(const SigningKey& key) {
  CheckReadable(key.certificate, "certificate");
  CheckReadable(key.key, "key");
}

std::string SignProgram(const std::string& name, const std::string& bytes, const SigningKey& key) {
  const ScratchFolder scratch("setup-pack-sign-");
  const fs::path unsigned_ = scratch.path() / "unsigned.exe";
  const fs::path signed_ = scratch.path() / "signed.exe";
  {
    std::ofstream out(unsigned_, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw ToolError("cannot write " + unsigned_.string());
  }
  try {
    // No -pass: a key kept under a pass phrase is asked for on the terminal, never taken from
    // a command line that other users of the host can read.
    RunHostTool(
        {"osslsigncode", "sign", "-certs", key.certificate.string(), "-key", key.key.string(), "-h",
         "sha256", "-in", unsigned_.string(), "-out", signed_.string()},
        "osslsigncode");
  } catch (const ToolError& failure) {
    throw ToolError("cannot sign " + name + ": " + failure.what());
  }
  return ReadAll(signed_);
}

}  // namespace medium
