// Owning wrappers for the GDI and USER handles the toolkit makes, and a scope that keeps
// an object selected into a device context.
#pragma once

#include "forms/win32/WindowsUi.h"

#include <memory>
#include <type_traits>

namespace forms::win32 {

// Deletes any GDI object (font, brush, bitmap).
struct GdiObjectDeleter {
  template <class Handle>
  void operator()(Handle handle) const {
    if (handle) DeleteObject(handle);
  }
};
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using UniqueFont = GdiObject<HFONT>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniqueBitmap = GdiObject<HBITMAP>;

// Deletes a memory device context.
struct MemoryDcDeleter {
  void operator()(HDC dc) const {
    if (dc) DeleteDC(dc);
  }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// Keeps `object` selected into `dc` for the scope's life, then selects the previous one.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectScope() { SelectObject(dc_, previous_); }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Keeps the state of a device context (clip region, colours, origin) for the scope's life.
class SavedDc {
 public:
  explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~SavedDc() { RestoreDC(dc_, saved_); }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;

 private:
  HDC dc_;
  int saved_;
};

}  // namespace forms::win32
