#include "devhost/fault_injector.h"

#include "devhost/host_methods.h"

namespace marupo::devhost {
namespace {

FaultAction Fail(int32_t hr, std::optional<std::u16string> description) {
    return {FaultAction::Kind::kFail, hr, std::move(description)};
}

FaultAction Null() {
    return {FaultAction::Kind::kNullResult, 0, std::nullopt};
}

}  // namespace

void FaultInjector::FailEvery(std::string method, int32_t hr,
                              std::optional<std::u16string> description) {
    rules_.push_back({std::move(method), 0, Fail(hr, std::move(description))});
}

void FaultInjector::FailNth(int nth, std::string method, int32_t hr,
                            std::optional<std::u16string> description) {
    if (nth > 0) rules_.push_back({std::move(method), nth, Fail(hr, std::move(description))});
}

void FaultInjector::FailCall(int nth, int32_t hr, std::optional<std::u16string> description) {
    if (nth > 0) rules_.push_back({{}, nth, Fail(hr, std::move(description))});
}

void FaultInjector::NullEvery(std::string method) {
    rules_.push_back({std::move(method), 0, Null()});
}

void FaultInjector::NullNth(int nth, std::string method) {
    if (nth > 0) rules_.push_back({std::move(method), nth, Null()});
}

FaultAction FaultInjector::Decide(std::string_view interfaceName, std::string_view method) {
    std::optional<FaultAction> decision;
    for (auto rule = rules_.begin(); rule != rules_.end();) {
        bool matches = rule->method.empty() || MethodMatches(rule->method, interfaceName, method);
        bool hits = false;
        bool spent = false;
        if (matches) {
            if (rule->remaining == 0) {
                hits = true;
            } else if (--rule->remaining == 0) {
                hits = spent = true;
            }
        }
        if (hits && !decision) decision = rule->action;
        // A one-shot rule is used up once its call has come, even when an earlier rule won.
        rule = spent ? rules_.erase(rule) : rule + 1;
    }
    return decision.value_or(FaultAction{});
}

}  // namespace marupo::devhost
