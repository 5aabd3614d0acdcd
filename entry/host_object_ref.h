#pragma once
// One counted reference to a host object, opaque to portable code: the Windows side puts a COM
// interface in (entry/host_categories.h) and takes it out again. Copies share the one reference;
// the last copy to go releases it, so an entry that holds one stays an ordinary value.

#include <memory>

namespace marupo {

class HostObjectRef {
  public:
    using ReleaseFunction = void (*)(void* object);

    HostObjectRef() = default;
    // Takes over one reference to `object`, given back through `release`. A null object makes
    // an empty reference.
    HostObjectRef(void* object, ReleaseFunction release)
        : object_(object != nullptr ? std::shared_ptr<void>(object, release) : nullptr) {}

    void* Get() const { return object_.get(); }
    explicit operator bool() const { return object_ != nullptr; }
    void Reset() { object_.reset(); }

  private:
    std::shared_ptr<void> object_;
};

}  // namespace marupo
