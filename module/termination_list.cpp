#include "module/termination_list.h"

#include <new>

namespace marupo {

bool TerminationList::Add(Callback callback, void* argument) {
    try {
        entries_.emplace_front(callback, argument);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void TerminationList::Run() {
    while (!entries_.empty()) {
        auto [callback, argument] = entries_.front();
        entries_.pop_front();
        callback(argument);
    }
}

}  // namespace marupo
