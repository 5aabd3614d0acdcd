#include "module/addin_module.h"

#include "module/marupo_addin.h"
#include "res/marupo_addin.h"

namespace marupo {

AddinModule::AddinModule()
    : server_({{CLSID_MarupoAddin, &com::CreateInstance<MarupoAddin>, true}}) {}

AddinModule& AddinModule::Instance() {
    static AddinModule module;
    return module;
}

void AddinModule::Start(HINSTANCE instance) {
    instance_ = instance;
}

void AddinModule::Stop() {
    server_.ReleaseClassObjects();
    terminations_.Run();
}

}  // namespace marupo
