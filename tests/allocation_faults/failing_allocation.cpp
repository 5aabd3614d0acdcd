// Allocations that fail on request, linked only into the test build of the add-in DLL (never
// into the shipped one). Every allocation the add-in makes itself is counted: operator new in all
// its forms, which this replaces for the add-in's code alone (the C++ runtime is linked into the
// DLL), and the BSTRs it allocates (all through SysAllocStringLen), whose import is pointed here
// when the first fault is armed.

#include <windows.h>

#include <oleauto.h>

#include <cstdlib>
#include <new>

namespace {

bool g_armed = false;
long g_failAt = 0;          // the allocation that fails, counted from arming; 0: none
bool g_persistent = false;  // every allocation from that one on fails, not only that one
long g_counted = 0;         // allocations since arming
long g_live = 0;            // blocks from operator new not yet given back

using AllocStringLen = BSTR(WINAPI*)(const OLECHAR*, UINT);
AllocStringLen g_sysAllocStringLen = nullptr;  // the automation library's own, once redirected

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
    return NextAllocationFails() ? nullptr : g_sysAllocStringLen(text, length);
}

// Points the DLL's own import of `name` from the automation library at `replacement`, keeping
// the original in `original` (left alone when the DLL does not import it).
template <class Function>
void Redirect(const char* name, Function replacement, Function& original) {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&NextAllocationFails), &self);
    auto* base = reinterpret_cast<BYTE*>(self);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + library->Name), "oleaut32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
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
// or with `persistent` that one and every later one. Returns whether its BSTRs count too.
extern "C" __declspec(dllexport) BOOL ArmAllocationFault(long nth, BOOL persistent) {
    if (g_sysAllocStringLen == nullptr)
        Redirect("SysAllocStringLen", &FailingSysAllocStringLen, g_sysAllocStringLen);
    g_armed = true;
    g_failAt = nth;
    g_persistent = persistent != FALSE;
    g_counted = 0;
    return g_sysAllocStringLen != nullptr;
}

// Stops failing; the allocations counted since arming.
extern "C" __declspec(dllexport) long DisarmAllocationFault() {
    g_armed = false;
    return g_counted;
}

// Blocks the add-in holds from operator new.
extern "C" __declspec(dllexport) long LiveAllocations() {
    return g_live;
}
