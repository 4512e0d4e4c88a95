#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32Logic.h"
#include "platform/win32/WindowsApi.h"

namespace win32 {
namespace {

HKEY Native(platform::HKey key) {
  return reinterpret_cast<HKEY>(NativeKeyValue(key));
}

platform::HKey Portable(HKEY key) {
  return reinterpret_cast<platform::HKey>(key);
}

}  // namespace

long Win32Registry::CreateKey(platform::HKey parent, const std::string& subKey,
                              std::uint32_t access, platform::HKey& result, bool* created) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  const LONG error =
      ::RegCreateKeyExA(Native(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                        nullptr, &key, &disposition);
  if (error != ERROR_SUCCESS) return error;
  result = Portable(key);
  if (created) *created = disposition == REG_CREATED_NEW_KEY;
  return error;
}

long Win32Registry::OpenKey(platform::HKey parent, const std::string& subKey, std::uint32_t access,
                            platform::HKey& result) {
  HKEY key = nullptr;
  const LONG error = ::RegOpenKeyExA(Native(parent), subKey.c_str(), 0, access, &key);
  if (error == ERROR_SUCCESS) result = Portable(key);
  return error;
}

long Win32Registry::CloseKey(platform::HKey key) {
  return ::RegCloseKey(Native(key));
}

long Win32Registry::SetValue(platform::HKey key, const std::string& name, std::uint32_t type,
                             const std::string& data) {
  // A string value is stored with its terminating zero, and the size counts it.
  const bool isText = type == platform::kRegSz || type == platform::kRegExpandSz;
  const DWORD size = static_cast<DWORD>(data.size() + (isText ? 1 : 0));
  return ::RegSetValueExA(Native(key), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.c_str()), size);
}

long Win32Registry::QueryValue(platform::HKey key, const std::string& name, std::uint32_t& type,
                               std::string& data) {
  DWORD valueType = 0;
  DWORD size = 0;
  LONG error = ::RegQueryValueExA(Native(key), name.c_str(), nullptr, &valueType, nullptr, &size);
  // The value may grow between the two calls; ask again with the size then reported.
  std::string bytes;
  while (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
    bytes.assign(size, '\0');
    error = ::RegQueryValueExA(Native(key), name.c_str(), nullptr, &valueType,
                               reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (error == ERROR_SUCCESS) {
      bytes.resize(size);
      type = valueType;
      data = WithoutTerminator(valueType, std::move(bytes));
      return error;
    }
  }
  return error;
}

long Win32Registry::DeleteValue(platform::HKey key, const std::string& name) {
  return ::RegDeleteValueA(Native(key), name.c_str());
}

long Win32Registry::DeleteKey(platform::HKey parent, const std::string& subKey) {
  return ::RegDeleteKeyA(Native(parent), subKey.c_str());
}

long Win32Registry::QueryInfo(platform::HKey key, std::uint32_t& subKeys, std::uint32_t& values) {
  DWORD subKeyCount = 0;
  DWORD valueCount = 0;
  const LONG error =
      ::RegQueryInfoKeyA(Native(key), nullptr, nullptr, nullptr, &subKeyCount, nullptr, nullptr,
                         &valueCount, nullptr, nullptr, nullptr, nullptr);
  if (error == ERROR_SUCCESS) {
    subKeys = subKeyCount;
    values = valueCount;
  }
  return error;
}

long Win32Registry::EnumKey(platform::HKey key, std::uint32_t index, std::string& name) {
  // A key name has at most 255 characters.
  char buffer[256] = {};
  DWORD size = sizeof buffer;
  const LONG error =
      ::RegEnumKeyExA(Native(key), index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
  if (error == ERROR_SUCCESS) name.assign(buffer, size);
  return error;
}

}  // namespace win32
