#include "com/server_module.h"

#include "com/class_factory.h"

namespace marupo::com {

ServerModule::ServerModule(std::vector<ClassEntry> classes) : classes_(classes.size()) {
    for (size_t i = 0; i < classes.size(); ++i) classes_[i].entry = classes[i];
}

ServerModule::~ServerModule() {
    ReleaseClassObjects();
}

HRESULT ServerModule::GetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (Class& entry : classes_) {
        if (entry.entry.clsid != clsid) continue;
        if (entry.object == nullptr) {
            CriticalSectionScope scope(classObjectSection_);
            // Checked again: another thread may have made it while this one waited.
            if (entry.object == nullptr) {
                auto* factory = new (std::nothrow) ClassFactory(*this, entry.entry);
                if (factory == nullptr) return E_OUTOFMEMORY;
                factory->AddRef();
                entry.object = static_cast<IClassFactory*>(factory);
            }
        }
        return entry.object.load()->QueryInterface(riid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

void ServerModule::ReleaseClassObjects() {
    for (Class& entry : classes_) {
        if (IUnknown* object = entry.object.exchange(nullptr)) object->Release();
    }
}

}  // namespace marupo::com
