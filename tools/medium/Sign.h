// Authenticode signatures on the programs of a medium, made by the host's osslsigncode.
#pragma once

#include <filesystem>
#include <string>

namespace medium {

// The vendor's code-signing certificate (with any chain, PEM or DER) and its private key.
struct SigningKey {
  std::filesystem::path certificate;
  std::filesystem::path key;
};

// Throws ToolError when the certificate or the key is no file that can be read, so that a
// mistake is found before anything is written.
void CheckSigningKey(const SigningKey& key);

// `bytes`, a program named `name` (for messages), signed with Authenticode: SHA-256 and no
// time stamp, since a time-stamp server is reached over the network. Throws ToolError.
std::string SignProgram(const std::string& name, const std::string& bytes, const SigningKey& key);

}  // namespace medium
