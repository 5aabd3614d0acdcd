// Allocations that fail on request, linked only into the test build of the add-in DLL (never
// into the shipped one). Every allocation the add-in makes itself is counted: operator new in all
// its forms, which this replaces for the add-in's code alone (the C++ runtime is linked into the
// DLL), the BSTRs it allocates (all through SysAllocStringLen) and the buffers the system
// allocates for it (FormatMessageW with FORMAT_MESSAGE_ALLOCATE_BUFFER), whose imports are
// pointed here when the first fault is armed. Each kind is counted live until given back (with
// operator delete, SysFreeString, LocalFree).

#include "tests/allocation_faults/failing_allocation.h"

#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

bool g_armed = false;
long g_failAt = 0;          // the allocation that fails, counted from arming; 0: none
bool g_persistent = false;  // every allocation from that one on fails, not only that one
long g_counted = 0;         // allocations since arming
long g_live = 0;            // blocks from operator new not yet given back

// The BSTRs and system buffers the add-in holds: few at a time, so a small table does.
class LiveTable {
  public:
    void Add(void* block) {
        if (block == nullptr) return;
        if (count_ < kSize) blocks_[count_] = block;
        ++count_;  // past the table's end the count still tells
    }
    // Whether `block` was in the table; it is taken out.
    bool Remove(void* block) {
        void** end = blocks_ + std::min(count_, kSize);
        void** found = std::find(blocks_, end, block);
        if (block == nullptr || found == end) return false;
        *found = *(end - 1);
        --count_;
        return true;
    }
    long Count() const { return static_cast<long>(count_); }

  private:
    static constexpr std::size_t kSize = 4096;
    void* blocks_[kSize] = {};
    std::size_t count_ = 0;
};

LiveTable g_strings;
LiveTable g_buffers;

using AllocStringLen = BSTR(WINAPI*)(const OLECHAR*, UINT);
using FreeString = void(WINAPI*)(BSTR);
using FormatMessage = DWORD(WINAPI*)(DWORD, LPCVOID, DWORD, DWORD, LPWSTR, DWORD, va_list*);
using FreeLocal = HLOCAL(WINAPI*)(HLOCAL);
// The system's own functions, once the DLL's imports are redirected.
AllocStringLen g_sysAllocStringLen = nullptr;
FreeString g_sysFreeString = nullptr;
FormatMessage g_formatMessageW = nullptr;
FreeLocal g_localFree = nullptr;

bool NextAllocationFails() {
    if (!g_armed) return false;
    ++g_counted;
    if (g_failAt == 0) return false;
    return g_persistent ? g_counted >= g_failAt : g_counted == g_failAt;
}

void* Allocate(std::size_t size) noexcept {
    if (NextAllocationFails()) return nullptr;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) ++g_live;
    return block;
}

void Free(void* block) noexcept {
    if (block == nullptr) return;
    --g_live;
    std::free(block);
}

BSTR WINAPI FailingSysAllocStringLen(const OLECHAR* text, UINT length) {
    if (NextAllocationFails()) return nullptr;
    BSTR string = g_sysAllocStringLen(text, length);
    g_strings.Add(string);
    return string;
}

void WINAPI CountingSysFreeString(BSTR string) {
    g_strings.Remove(string);
    g_sysFreeString(string);
}

DWORD WINAPI FailingFormatMessageW(DWORD flags, LPCVOID source, DWORD id, DWORD language,
                                   LPWSTR buffer, DWORD size, va_list* arguments) {
    const bool allocates = (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0;
    if (allocates && NextAllocationFails()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    const DWORD length = g_formatMessageW(flags, source, id, language, buffer, size, arguments);
    if (allocates && length != 0) g_buffers.Add(*reinterpret_cast<void**>(buffer));
    return length;
}

HLOCAL WINAPI CountingLocalFree(HLOCAL block) {
    g_buffers.Remove(block);
    return g_localFree(block);
}

// Points the DLL's own import of `name` from `library` at `replacement`, keeping the original in
// `original` (left alone when the DLL does not import it).
template <class Function>
void Redirect(const char* library, const char* name, Function replacement, Function& original) {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&NextAllocationFails), &self);
    auto* base = reinterpret_cast<BYTE*>(self);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imported = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imported->Name != 0; ++imported) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + imported->Name), library) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imported->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imported->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            original = reinterpret_cast<Function>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return;
        }
    }
}

}  // namespace

void* operator new(std::size_t size) {
    void* block = Allocate(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Free(block);
}
void operator delete[](void* block) noexcept {
    Free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    Free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    Free(block);
}

// Counts the add-in's allocations from now on and makes the `nth` of them fail (none for 0),
// or with `persistent` that one and every later one. Returns whether its BSTRs and system
// buffers count too.
extern "C" __declspec(dllexport) BOOL ArmAllocationFault(long nth, BOOL persistent) {
    if (g_sysAllocStringLen == nullptr) {
        Redirect("oleaut32.dll", "SysAllocStringLen", &FailingSysAllocStringLen,
                 g_sysAllocStringLen);
        Redirect("oleaut32.dll", "SysFreeString", &CountingSysFreeString, g_sysFreeString);
        Redirect("kernel32.dll", "FormatMessageW", &FailingFormatMessageW, g_formatMessageW);
        Redirect("kernel32.dll", "LocalFree", &CountingLocalFree, g_localFree);
    }
    g_armed = true;
    g_failAt = nth;
    g_persistent = persistent != FALSE;
    g_counted = 0;
    return g_sysAllocStringLen != nullptr && g_sysFreeString != nullptr &&
           g_formatMessageW != nullptr && g_localFree != nullptr;
}

void ArmAllocationFaultAtLoad() noexcept {
    char value[32] = {};
    const DWORD length =
        GetEnvironmentVariableA("MARUPO_ALLOCATION_FAULT_AT_LOAD", value, sizeof value);
    if (length == 0 || length >= sizeof value) return;
    ArmAllocationFault(std::atol(value), value[length - 1] == '+');
}

// Stops failing; the allocations counted since arming.
extern "C" __declspec(dllexport) long DisarmAllocationFault() {
    g_armed = false;
    return g_counted;
}

// Blocks the add-in holds from operator new, BSTRs and system buffers.
extern "C" __declspec(dllexport) long LiveAllocations() {
    return g_live + g_strings.Count() + g_buffers.Count();
}
