#include "entry/host_categories.h"

namespace marupo {
namespace {

void ReleaseCategories(void* object) {
    static_cast<ICategoryNames*>(object)->Release();
}

}  // namespace

void SetHostCategories(AddressEntry& entry, ICategoryNames* categories) {
    if (categories != nullptr) categories->AddRef();
    entry.hostCategories = HostObjectRef(categories, &ReleaseCategories);
}

Microsoft::WRL::ComPtr<ICategoryNames> HostCategories(const AddressEntry& entry) {
    return Microsoft::WRL::ComPtr<ICategoryNames>(
        static_cast<ICategoryNames*>(entry.hostCategories.Get()));
}

}  // namespace marupo
