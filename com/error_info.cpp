#include "com/error_info.h"

#include <oleauto.h>
#include <wrl/client.h>

namespace marupo::com {

void SetCallErrorInfo(const IID& iid, const wchar_t* source, const wchar_t* description) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (FAILED(CreateErrorInfo(&create)) || FAILED(create.As(&info))) {
        ClearCallErrorInfo();
        return;
    }
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(description));
    SetErrorInfo(0, info.Get());
}

void ClearCallErrorInfo() {
    SetErrorInfo(0, nullptr);
}

}  // namespace marupo::com
