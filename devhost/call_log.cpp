#include "devhost/call_log.h"

#include "devhost/host_methods.h"
#include "devhost/text_codec.h"

namespace marupo::devhost {

std::string LoggedCall::Line() const {
    if (sequence == 0) return "-- " + event;
    std::string line = std::to_string(sequence) + " " + interfaceName;
    if (recordId != 0) line += "#" + std::to_string(recordId);
    line += "." + method + "(";
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ", ";
        line += arguments[i];
    }
    line += ") -> " + HresultName(result);
    if (!outValue.empty()) line += " " + outValue;
    return line;
}

size_t CallLog::Begin(std::string interfaceName, int recordId, std::string method) {
    LoggedCall call;
    call.sequence = nextSequence_++;
    call.interfaceName = std::move(interfaceName);
    call.recordId = recordId;
    call.method = std::move(method);
    entries_.push_back(std::move(call));
    return entries_.size() - 1;
}

void CallLog::AddArgument(size_t index, std::string rendered) {
    if (index < entries_.size()) entries_[index].arguments.push_back(std::move(rendered));
}

void CallLog::Finish(size_t index, int32_t result, std::string outValue) {
    if (index >= entries_.size()) return;
    entries_[index].result = result;
    entries_[index].outValue = std::move(outValue);
}

void CallLog::Event(std::string text) {
    LoggedCall event;
    event.event = std::move(text);
    entries_.push_back(std::move(event));
}

void CallLog::Clear() {
    entries_.clear();
    nextSequence_ = 1;
}

std::vector<std::string> CallLog::MethodNames() const {
    std::vector<std::string> names;
    for (const auto& e : entries_) {
        if (e.sequence != 0) names.push_back(e.interfaceName + "." + e.method);
    }
    return names;
}

std::string CallLog::Text() const {
    std::string text;
    for (const auto& e : entries_) text += e.Line() + "\n";
    return text;
}

std::string QuoteText(const std::u16string& text) {
    return "\"" + EscapeValue(text) + "\"";
}

}  // namespace marupo::devhost
