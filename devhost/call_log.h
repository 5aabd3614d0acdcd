#pragma once
// Every host call in the order the add-ins made it, with its arguments, result and out-value,
// and between them the host's own calls into the add-ins and what a script saw on screen.

#include <cstdint>
#include <string>
#include <vector>

namespace marupo::devhost {

struct LoggedCall {
    int sequence = 0;  // 1-based among host calls; 0 for an event
    std::string interfaceName;
    int recordId = 0;  // the record an IAddressRecord call went to
    std::string method;
    std::vector<std::string> arguments;  // already rendered: numbers, quoted texts, `null`
    int32_t result = 0;
    std::string outValue;  // rendered out-value, empty when none
    std::string event;     // the whole line of an event

    // "12 IAddressRecord#3.SetCity("渋谷区") -> S_OK" or "-- event text".
    std::string Line() const;
};

class CallLog {
  public:
    // Opens a host call; the returned index stays valid for Finish.
    size_t Begin(std::string interfaceName, int recordId, std::string method);
    void AddArgument(size_t index, std::string rendered);
    void Finish(size_t index, int32_t result, std::string outValue);
    void Event(std::string text);
    void Clear();

    const std::vector<LoggedCall>& Entries() const { return entries_; }
    // Host calls only, in order, as "Interface.Method".
    std::vector<std::string> MethodNames() const;
    std::string Text() const;  // one Line() per entry

  private:
    std::vector<LoggedCall> entries_;
    int nextSequence_ = 1;
};

// Rendering helpers for arguments and out-values.
std::string QuoteText(const std::u16string& text);

}  // namespace marupo::devhost
