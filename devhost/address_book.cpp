// IAddressBook: the view's category and selection, the categories, the custom-field captions
// and the creation of records.
#include "devhost/host_object.h"
#include "devhost/host_objects.h"
#include "devhost/unused_slots.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

class AddressBook final : public HostObject<IAddressBook> {
  public:
    using HostObject::HostObject;

    HRESULT STDMETHODCALLTYPE GetCategories(ICategoryNames** names) override {
        return HandOutMade(
            "GetCategories", names,
            [&] { return CreateCategoryNames(state_, state_->book.Categories()); },
            "ICategoryNames");
    }

    HRESULT STDMETHODCALLTYPE GetCurrentCategory(BSTR* category) override {
        HostCall call = Call("GetCurrentCategory");
        if (category == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *category = nullptr;
        if (call.Injected()) return call.InjectedResult();
        *category = AllocBstr(state_->book.ViewCategory());
        if (*category == nullptr) return call.Fail(E_OUTOFMEMORY, u"メモリが足りません。");
        return call.Succeed(RenderBstr(*category));
    }

    HRESULT STDMETHODCALLTYPE GetSelection(IAddressRecords** selection) override {
        HostCall call = Call("GetSelection");
        if (selection == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *selection = nullptr;
        if (call.Injected()) return call.InjectedResult();
        auto records = state_->book.SelectedRecords();
        std::string ids;
        for (const auto& r : records) ids += (ids.empty() ? "" : " ") + std::to_string(r->id);
        return call.HandOut(CreateAddressRecords(state_, std::move(records)), selection,
                            "IAddressRecords [" + ids + "]");
    }

    HRESULT STDMETHODCALLTYPE AddRecord(BSTR category, BSTR givenName, BSTR surname,
                                        IAddressRecord** record) override {
        HostCall call = Call("AddRecord");
        call.Arg(category).Arg(givenName).Arg(surname);
        if (record == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *record = nullptr;
        if (call.Injected()) return call.InjectedResult();
        std::u16string name = FromBstr(category);
        if (!state_->book.HasCategory(name)) {
            return call.Fail(E_INVALIDARG, u"カテゴリ「" + name + u"」はありません。");
        }
        RecordPtr added = state_->book.Add(name);
        added->givenName = FromBstr(givenName);
        added->surname = FromBstr(surname);
        auto created = CreateAddressRecord(state_, added);
        if (!created) return call.Fail(E_OUTOFMEMORY, u"メモリが足りません。");
        *record = created.Detach();
        state_->NotifyBookChanged();
        return call.Succeed("IAddressRecord#" + std::to_string(added->id));
    }

    HRESULT STDMETHODCALLTYPE GetCustomLabel(long index, BSTR* label) override {
        HostCall call = Call("GetCustomLabel");
        call.Arg(index);
        if (label == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *label = nullptr;
        if (call.Injected()) return call.InjectedResult();
        if (index < 0 || index >= kCustomFields) {
            return call.Fail(E_INVALIDARG, u"カスタム項目の番号は 0 から 3 です。");
        }
        *label = AllocBstr(state_->book.CustomLabels()[static_cast<size_t>(index)]);
        if (*label == nullptr) return call.Fail(E_OUTOFMEMORY, u"メモリが足りません。");
        return call.Succeed(RenderBstr(*label));
    }

    UNUSED_SLOTS(9, 12, 13, 14, 15)
};

}  // namespace

ComPtr<IAddressBook> CreateAddressBook(std::shared_ptr<HostState> state) {
    return AddressBook::Make<AddressBook, IAddressBook>(std::move(state));
}

}  // namespace marupo::devhost
