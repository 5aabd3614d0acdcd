#pragma once
// Calls on the host's interfaces. A failing HRESULT raises HostError with the interface's name,
// its IID and the error information the host attached; calling through a null pointer (an
// interface the host did not hand back) raises E_POINTER instead of crashing.
//
//   long count = HostGet(selection, &IAddressRecords::GetCount);
//   UniqueBstr surname = HostGet(record, &IAddressRecord::GetSurname);
//   ComPtr<IAddressRecord> first = HostGet(selection, &IAddressRecords::GetItem, 0L);
//   HostCall(record, &IAddressRecord::SetSurname, text.Get());
//   ComPtr<IAddressBook> book = RequireHost<IAddressBook>(unknown);

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <tuple>
#include <type_traits>
#include <utility>

#include "host/bstr.h"
#include "host/host_error.h"
#include "host/host_interfaces.h"

namespace marupo {

// Raises HostError for a failing `hr` of a call made on `object`; returns `hr` otherwise (the
// host's success codes other than S_OK matter to some callers).
template <class I>
HRESULT CheckHost(HRESULT hr, I* object) {
    if (FAILED(hr)) RaiseHostError(hr, object, HostInterfaceName<I>::value, __uuidof(I));
    return hr;
}
template <class I>
HRESULT CheckHost(HRESULT hr, const Microsoft::WRL::ComPtr<I>& object) {
    return CheckHost(hr, object.Get());
}

// Calls `method` on `object`. `M` may be a base of `I` (an IDispatch method on a host
// interface); the error then names `I`, the interface the caller holds.
template <class I, class M, class... Params, class... Args>
HRESULT HostCall(I* object, HRESULT (STDMETHODCALLTYPE M::*method)(Params...), Args&&... args) {
    static_assert(std::is_base_of_v<M, I>, "method of another interface");
    if (object == nullptr) {
        throw HostError(E_POINTER, HostInterfaceName<I>::value, __uuidof(I), false, {});
    }
    return CheckHost((object->*method)(std::forward<Args>(args)...), object);
}
template <class I, class M, class... Params, class... Args>
HRESULT HostCall(const Microsoft::WRL::ComPtr<I>& object,
                 HRESULT (STDMETHODCALLTYPE M::*method)(Params...), Args&&... args) {
    return HostCall(object.Get(), method, std::forward<Args>(args)...);
}

namespace detail {

// What a getter's last (out) parameter becomes for the caller: an owned BSTR, a counted
// interface reference, or the plain value.
template <class Out>
struct HostOut {
    using Type = Out;
    static Out* Address(Type& value) { return &value; }
};
template <>
struct HostOut<BSTR> {
    using Type = UniqueBstr;
    static BSTR* Address(Type& value) { return value.Put(); }
};
template <class X>
struct HostOut<X*> {
    static_assert(std::is_base_of_v<IUnknown, X>, "out pointer that is not an interface");
    using Type = Microsoft::WRL::ComPtr<X>;
    static X** Address(Type& value) { return value.ReleaseAndGetAddressOf(); }
};

template <class... Params>
using LastParam = std::tuple_element_t<sizeof...(Params) - 1, std::tuple<Params...>>;

}  // namespace detail

// Calls a getter whose last parameter is its one out-parameter and returns what it yields;
// `args` are the in-parameters before it.
template <class I, class M, class... Params, class... Args>
auto HostGet(I* object, HRESULT (STDMETHODCALLTYPE M::*method)(Params...), Args&&... args) {
    using OutPointer = detail::LastParam<Params...>;
    static_assert(std::is_pointer_v<OutPointer>, "the last parameter is not an out-parameter");
    using Out = detail::HostOut<std::remove_pointer_t<OutPointer>>;
    typename Out::Type value{};
    HostCall(object, method, std::forward<Args>(args)..., Out::Address(value));
    return value;
}
template <class I, class M, class... Params, class... Args>
auto HostGet(const Microsoft::WRL::ComPtr<I>& object,
             HRESULT (STDMETHODCALLTYPE M::*method)(Params...), Args&&... args) {
    return HostGet(object.Get(), method, std::forward<Args>(args)...);
}

// Asks a host object for interface I. A null object, E_NOINTERFACE, or a success that hands
// back null give an empty pointer; any other failure raises HostError with its HRESULT.
template <class I>
Microsoft::WRL::ComPtr<I> QueryHost(IUnknown* object) {
    Microsoft::WRL::ComPtr<I> result;
    if (object == nullptr) return result;
    // Take the pointer only on success: a failed QueryInterface's out value is not ours.
    void* raw = nullptr;
    const HRESULT hr = object->QueryInterface(__uuidof(I), &raw);
    if (hr == E_NOINTERFACE) return result;
    if (FAILED(hr)) throw HostError(hr);
    // Adopt the reference without another AddRef (MinGW's ComPtr::Attach would add one).
    *result.GetAddressOf() = static_cast<I*>(raw);
    return result;
}
template <class I, class X>
Microsoft::WRL::ComPtr<I> QueryHost(const Microsoft::WRL::ComPtr<X>& object) {
    return QueryHost<I>(object.Get());
}

// QueryHost for an interface the caller goes on to use: an empty result raises E_POINTER.
template <class I>
Microsoft::WRL::ComPtr<I> RequireHost(IUnknown* object) {
    Microsoft::WRL::ComPtr<I> result = QueryHost<I>(object);
    if (!result) throw HostError(E_POINTER);
    return result;
}
template <class I, class X>
Microsoft::WRL::ComPtr<I> RequireHost(const Microsoft::WRL::ComPtr<X>& object) {
    return RequireHost<I>(object.Get());
}

}  // namespace marupo
