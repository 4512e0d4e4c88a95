#include "platform/win32/Win32Digest.h"

#include "platform/win32/WindowsApi.h"

#include <wincrypt.h>

namespace win32 {
namespace {

// A provider context released when it goes.
class Provider {
 public:
  Provider() {
    // The AES provider is the one that knows SHA-256; no key container is needed.
    if (!::CryptAcquireContextA(&handle_, nullptr, nullptr, PROV_RSA_AES,
                                CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
      handle_ = 0;
  }
  ~Provider() {
    if (handle_ != 0) ::CryptReleaseContext(handle_, 0);
  }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  HCRYPTPROV Handle() const { return handle_; }

 private:
  HCRYPTPROV handle_ = 0;
};

// A hash object released when it goes.
class Hash {
 public:
  explicit Hash(HCRYPTPROV provider) {
    if (provider == 0 || !::CryptCreateHash(provider, CALG_SHA_256, 0, 0, &handle_)) handle_ = 0;
  }
  ~Hash() {
    if (handle_ != 0) ::CryptDestroyHash(handle_);
  }
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;
  HCRYPTHASH Handle() const { return handle_; }

 private:
  HCRYPTHASH handle_ = 0;
};

}  // namespace

std::optional<std::string> Win32Digest::Sha256Hex(std::string_view bytes) {
  const Provider provider;
  const Hash hash(provider.Handle());
  if (hash.Handle() == 0) return std::nullopt;
  // Fed in pieces: the length of one call is a DWORD.
  constexpr std::size_t kPiece = 1u << 20;
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    const std::size_t size = std::min(kPiece, bytes.size() - at);
    if (!::CryptHashData(hash.Handle(), reinterpret_cast<const BYTE*>(bytes.data() + at),
                         static_cast<DWORD>(size), 0))
      return std::nullopt;
  }
  BYTE digest[32] = {};
  DWORD size = sizeof digest;
  if (!::CryptGetHashParam(hash.Handle(), HP_HASHVAL, digest, &size, 0) || size != sizeof digest)
    return std::nullopt;
  return platform::HexDigits(digest, sizeof digest);
}

}  // namespace win32
