// IAddressRecords (a selection) and ICategoryNames: snapshots taken when they were asked for.
#include "devhost/host_object.h"
#include "devhost/host_objects.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

class AddressRecords final : public HostObject<IAddressRecords> {
  public:
    AddressRecords(std::shared_ptr<HostState> state, std::vector<RecordPtr> records)
        : HostObject(std::move(state)), records_(std::move(records)) {}

    HRESULT STDMETHODCALLTYPE GetCount(long* count) override {
        HostCall call = Call("GetCount");
        if (count == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *count = 0;
        if (call.Injected()) return call.InjectedResult();
        *count = static_cast<long>(records_.size());
        return call.Succeed(std::to_string(*count));
    }

    HRESULT STDMETHODCALLTYPE GetItem(long index, IAddressRecord** record) override {
        HostCall call = Call("GetItem");
        call.Arg(index);
        if (record == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *record = nullptr;
        if (call.Injected()) return call.InjectedResult();
        if (index < 0 || static_cast<size_t>(index) >= records_.size()) {
            return call.Fail(E_INVALIDARG, u"選択されたアドレスの番号が範囲外です。");
        }
        const RecordPtr& item = records_[static_cast<size_t>(index)];
        return call.HandOut(CreateAddressRecord(state_, item), record,
                            "IAddressRecord#" + std::to_string(item->id));
    }

  private:
    std::vector<RecordPtr> records_;
};

class CategoryNames final : public HostObject<ICategoryNames> {
  public:
    CategoryNames(std::shared_ptr<HostState> state, std::vector<std::u16string> names)
        : HostObject(std::move(state)), names_(std::move(names)) {}

    HRESULT STDMETHODCALLTYPE GetCount(long* count) override {
        HostCall call = Call("GetCount");
        if (count == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *count = 0;
        if (call.Injected()) return call.InjectedResult();
        *count = static_cast<long>(names_.size());
        return call.Succeed(std::to_string(*count));
    }

    HRESULT STDMETHODCALLTYPE GetItem(long index, BSTR* name) override {
        HostCall call = Call("GetItem");
        call.Arg(index);
        if (name == nullptr) return call.Fail(E_POINTER, u"出力先のポインタが NULL です。");
        *name = nullptr;
        if (call.Injected()) return call.InjectedResult();
        if (index < 0 || static_cast<size_t>(index) >= names_.size()) {
            return call.Fail(E_INVALIDARG, u"カテゴリの番号が範囲外です。");
        }
        *name = AllocBstr(names_[static_cast<size_t>(index)]);
        if (*name == nullptr) return call.Fail(E_OUTOFMEMORY, u"メモリが足りません。");
        return call.Succeed(RenderBstr(*name));
    }

  private:
    std::vector<std::u16string> names_;
};

}  // namespace

ComPtr<IAddressRecords> CreateAddressRecords(std::shared_ptr<HostState> state,
                                             std::vector<RecordPtr> records) {
    return AddressRecords::Make<AddressRecords, IAddressRecords>(std::move(state),
                                                                 std::move(records));
}

ComPtr<ICategoryNames> CreateCategoryNames(std::shared_ptr<HostState> state,
                                           std::vector<std::u16string> names) {
    return CategoryNames::Make<CategoryNames, ICategoryNames>(std::move(state), std::move(names));
}

}  // namespace marupo::devhost
