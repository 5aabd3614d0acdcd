#pragma once
// Rules that make host calls misbehave on purpose: fail with an HRESULT (and an error
// description, or none), or succeed while handing back a null string or interface. A rule hits
// every call of a method, the K-th call of a method from now on, or the N-th host call of any
// method from now on. Counting starts when the rule is added.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marupo::devhost {

struct FaultAction {
    enum class Kind { kProceed, kFail, kNullResult };
    Kind kind = Kind::kProceed;
    int32_t hr = 0;
    std::optional<std::u16string> description;  // none: no error information is set
};

class FaultInjector {
  public:
    void FailEvery(std::string method, int32_t hr, std::optional<std::u16string> description);
    void FailNth(int nth, std::string method, int32_t hr,
                 std::optional<std::u16string> description);
    void FailCall(int nth, int32_t hr, std::optional<std::u16string> description);
    void NullEvery(std::string method);
    void NullNth(int nth, std::string method);
    void Clear() { rules_.clear(); }
    bool Empty() const { return rules_.empty(); }

    // Called once per host call, before the call does anything. Every rule counts the call;
    // the earliest added rule that hits decides.
    FaultAction Decide(std::string_view interfaceName, std::string_view method);

  private:
    struct Rule {
        std::string method;  // empty: any host call
        int remaining = 0;   // 0: every matching call
        FaultAction action;
    };
    std::vector<Rule> rules_;
};

}  // namespace marupo::devhost
