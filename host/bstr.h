#pragma once
// Owns one BSTR: freed with SysFreeString on every way out. The add-in allocates every BSTR it
// hands out through AllocateBstr.

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>

namespace marupo {

// The text of a BSTR the caller does not own; a null BSTR is an empty text.
inline std::wstring BstrText(BSTR value) {
    return value != nullptr ? std::wstring(value, SysStringLen(value)) : std::wstring();
}

class UniqueBstr {
  public:
    UniqueBstr() = default;
    explicit UniqueBstr(BSTR owned) : value_(owned) {}
    ~UniqueBstr() { Reset(); }
    UniqueBstr(UniqueBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, nullptr);
        }
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;

    BSTR Get() const { return value_; }
    // For out-parameters: frees the current string and hands out the slot.
    BSTR* Put() {
        Reset();
        return &value_;
    }
    BSTR Release() { return std::exchange(value_, nullptr); }
    void Reset() {
        if (value_ != nullptr) SysFreeString(value_);
        value_ = nullptr;
    }
    // A null BSTR is an empty text.
    std::wstring ToWide() const { return BstrText(value_); }

  private:
    BSTR value_ = nullptr;
};

// A new BSTR of `length` characters copied from `text`, or left for the caller to fill when
// `text` is null. A failed allocation raises HostError(E_OUTOFMEMORY).
UniqueBstr AllocateBstr(const wchar_t* text, UINT length);

}  // namespace marupo
