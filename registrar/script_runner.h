#pragma once
// Applies a parsed registry script to a registry.

#include "registrar/registry.h"
#include "registrar/script.h"

namespace marupo::registrar {

// Opens or creates every key the script names and writes its values. ForceRemove first deletes
// the key with its subtree; Delete deletes it and writes nothing for it or below it; keys named
// CLSID or TYPELIB are never deleted. Stops at the first failure and returns its status.
RegistryStatus RunRegister(Registry& registry, const Script& script);

// Deletes every value the script names, and every key after its nested entries, innermost
// first, except NoRemove keys and keys that still hold subkeys. What is already absent counts as
// removed. Goes on past failures and returns the first one.
RegistryStatus RunUnregister(Registry& registry, const Script& script);

}  // namespace marupo::registrar
