// Owners for every kind of handle the Win32 services open: each closes its handle with the
// matching call when it goes out of scope, so no path out of a service leaks one.
#pragma once

#include <utility>

#include "platform/win32/WindowsApi.h"

namespace win32 {

// A move-only owner of one handle value; `Traits` names the type, the empty value, the test
// for a live handle and the call that closes it.
template <typename Traits>
class Unique {
 public:
  using Value = typename Traits::Value;

  Unique() = default;
  explicit Unique(Value value) : value_(value) {}
  ~Unique() { Reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(other.Release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = other.Release();
    }
    return *this;
  }

  // The handle, still owned.
  Value Get() const { return value_; }
  // True when a live handle is held.
  explicit operator bool() const { return Traits::IsValid(value_); }
  // Gives up ownership without closing.
  Value Release() { return std::exchange(value_, Traits::Empty()); }
  // Closes the handle now, if one is held.
  void Reset() {
    if (Traits::IsValid(value_)) Traits::Close(value_);
    value_ = Traits::Empty();
  }

 private:
  Value value_ = Traits::Empty();
};

// Kernel objects whose empty value is null: processes, threads, tokens.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::CloseHandle(value); }
};
using UniqueHandle = Unique<KernelHandleTraits>;

// Files from CreateFileA, whose empty value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Value value) { return value != INVALID_HANDLE_VALUE && value != nullptr; }
  static void Close(Value value) { ::CloseHandle(value); }
};
using UniqueFile = Unique<FileHandleTraits>;

// Directory searches from FindFirstFileA.
struct FindHandleTraits {
  using Value = HANDLE;
  static Value Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Value value) { return value != INVALID_HANDLE_VALUE; }
  static void Close(Value value) { ::FindClose(value); }
};
using UniqueFind = Unique<FindHandleTraits>;

// Registry keys the service opened itself (keys handed to callers are closed by them).
struct RegKeyTraits {
  using Value = HKEY;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::RegCloseKey(value); }
};
using UniqueRegKey = Unique<RegKeyTraits>;

// Modules from LoadLibraryA and LoadLibraryExA.
struct LibraryTraits {
  using Value = HMODULE;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::FreeLibrary(value); }
};
using UniqueLibrary = Unique<LibraryTraits>;

// A DDEML instance from DdeInitializeA.
struct DdeInstanceTraits {
  using Value = DWORD;
  static Value Empty() { return 0; }
  static bool IsValid(Value value) { return value != 0; }
  static void Close(Value value) { ::DdeUninitialize(value); }
};
using UniqueDdeInstance = Unique<DdeInstanceTraits>;

// A DDE conversation from DdeConnect.
struct DdeConversationTraits {
  using Value = HCONV;
  static Value Empty() { return nullptr; }
  static bool IsValid(Value value) { return value != nullptr; }
  static void Close(Value value) { ::DdeDisconnect(value); }
};
using UniqueDdeConversation = Unique<DdeConversationTraits>;

// A DDE string handle, which is freed through the instance that made it.
class DdeString {
 public:
  DdeString(DWORD instance, const char* text)
      : instance_(instance), handle_(::DdeCreateStringHandleA(instance, text, CP_WINANSI)) {}
  ~DdeString() {
    if (handle_) ::DdeFreeStringHandle(instance_, handle_);
  }
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;

  HSZ Get() const { return handle_; }

 private:
  DWORD instance_;
  HSZ handle_;
};

// A COM interface pointer, released when it goes out of scope.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (pointer_) pointer_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }
  // Where an API call stores a new pointer; the ComPtr must be empty.
  Interface** Out() { return &pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

// A BSTR from a COM call, freed with SysFreeString.
class UniqueBstr {
 public:
  UniqueBstr() = default;
  ~UniqueBstr() { ::SysFreeString(value_); }
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;

  BSTR Get() const { return value_; }
  BSTR* Out() { return &value_; }

 private:
  BSTR value_ = nullptr;
};

}  // namespace win32
