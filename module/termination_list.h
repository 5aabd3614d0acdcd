#pragma once
// Clean-up work the module does once at shutdown, newest first (the type information caches add
// theirs when they first load).

#include <forward_list>
#include <utility>

namespace marupo {

class TerminationList {
  public:
    using Callback = void (*)(void* argument);

    // False when there was no memory for the entry: the caller then keeps nothing to clean up.
    bool Add(Callback callback, void* argument);
    // Runs every entry once and forgets it.
    void Run();

  private:
    std::forward_list<std::pair<Callback, void*>> entries_;
};

}  // namespace marupo
