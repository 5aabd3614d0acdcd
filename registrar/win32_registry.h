#pragma once
// The script engine's registry interface over the real Windows registry.

#include "registrar/registry.h"

namespace marupo::registrar {

class Win32Registry final : public Registry {
  public:
    RegistryStatus OpenRoot(RootKey root, std::unique_ptr<RegistryKey>& key) override;
};

}  // namespace marupo::registrar
