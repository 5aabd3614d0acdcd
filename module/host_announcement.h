#pragma once
// The add-in's entry in Palm Desktop's add-in registry, which makes the host load the add-in at
// start-up. Both steps are silent: without the host, when its registry refuses or when memory
// runs out, nothing happens and registration itself is not affected.

namespace marupo {

// Replaces an earlier entry of the add-in by a new one, so that there is exactly one.
void AnnounceToHost() noexcept;
// Removes the add-in's entry, if any.
void WithdrawFromHost() noexcept;

}  // namespace marupo
