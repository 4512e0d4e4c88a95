#include "tools/medium/Sign.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "tools/medium/HostTool.h"

namespace medium {
namespace fs = std::filesystem;
namespace {

// A folder of our own under the host's temporary directory, removed with what it holds.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "setup-pack-sign-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw ToolError("cannot make a temporary folder to sign in");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

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
  ScratchFolder scratch;
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
