#pragma once
// One move-only owner for every kind of Windows handle. The traits of a kind say which value is
// empty and how a held handle is given back; the owner frees it on every way out.
//
//   win::UniqueRegistryKey key;
//   if (RegOpenKeyExW(root, path, 0, KEY_READ, key.Put()) == ERROR_SUCCESS) Use(key.Get());

#include <windows.h>

#include <oleauto.h>

#include <utility>

namespace marupo::win {

// Traits: `Handle`, `static Handle Empty()` and `static void Free(Handle)` (never given the
// empty value).
template <class Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }
    // For out-parameters: frees what is held and hands out the slot.
    Handle* Put() {
        Reset();
        return &handle_;
    }
    // Gives up ownership without freeing.
    Handle Release() { return std::exchange(handle_, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) Traits::Free(old);
    }

  private:
    Handle handle_ = Traits::Empty();
};

// Handles whose empty value is null; Free says how one is given back.
template <class H>
struct NullEmpty {
    using Handle = H;
    static Handle Empty() { return nullptr; }
};

// A registry key; the predefined roots (HKEY_CURRENT_USER, ...) are never put in an owner.
struct RegistryKeyTraits : NullEmpty<HKEY> {
    static void Free(HKEY key) { RegCloseKey(key); }
};
struct MenuTraits : NullEmpty<HMENU> {
    static void Free(HMENU menu) { DestroyMenu(menu); }
};
struct IconTraits : NullEmpty<HICON> {
    static void Free(HICON icon) { DestroyIcon(icon); }
};
struct CursorTraits : NullEmpty<HCURSOR> {
    static void Free(HCURSOR cursor) { DestroyCursor(cursor); }
};
struct ModuleTraits : NullEmpty<HMODULE> {
    static void Free(HMODULE module) { FreeLibrary(module); }
};
// A buffer the system allocated for the caller with LocalAlloc (FORMAT_MESSAGE_ALLOCATE_BUFFER).
struct LocalBufferTraits : NullEmpty<wchar_t*> {
    static void Free(wchar_t* buffer) { LocalFree(buffer); }
};
struct BstrTraits : NullEmpty<BSTR> {
    static void Free(BSTR text) { SysFreeString(text); }
};
// GDI objects (bitmaps, fonts, ...) all go back through DeleteObject.
template <class H>
struct GdiObjectTraits : NullEmpty<H> {
    static void Free(H object) { DeleteObject(object); }
};

// A kernel file handle: CreateFile's failure is INVALID_HANDLE_VALUE, not null.
struct FileTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE file) { CloseHandle(file); }
};

using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueCursor = UniqueHandle<CursorTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueLocalBuffer = UniqueHandle<LocalBufferTraits>;
using UniqueBstr = UniqueHandle<BstrTraits>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueFile = UniqueHandle<FileTraits>;

}  // namespace marupo::win
