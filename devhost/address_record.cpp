// IAddressRecord: every getter reads and every setter changes the stored record at once.
#include "devhost/host_object.h"
#include "devhost/host_objects.h"
#include "devhost/unused_slots.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;
using TextField = std::u16string Record::*;

constexpr char16_t kNullOut[] = u"出力先のポインタが NULL です。";

class AddressRecord final : public HostObject<IAddressRecord> {
  public:
    AddressRecord(std::shared_ptr<HostState> state, RecordPtr record)
        : HostObject(std::move(state)), record_(std::move(record)) {}

#define TEXT_PROPERTY(Name, field)                              \
    HRESULT STDMETHODCALLTYPE Get##Name(BSTR* value) override { \
        return GetText("Get" #Name, value, &Record::field);     \
    }                                                           \
    HRESULT STDMETHODCALLTYPE Set##Name(BSTR value) override {  \
        return SetText("Set" #Name, value, &Record::field);     \
    }
    TEXT_PROPERTY(GivenName, givenName)
    TEXT_PROPERTY(Surname, surname)
    TEXT_PROPERTY(Title, title)
    TEXT_PROPERTY(Company, company)
    TEXT_PROPERTY(Street, street)
    TEXT_PROPERTY(City, city)
    TEXT_PROPERTY(Prefecture, prefecture)
    TEXT_PROPERTY(PostalCode, postalCode)
    TEXT_PROPERTY(Country, country)
    TEXT_PROPERTY(Note, note)
    TEXT_PROPERTY(GivenNameReading, givenNameReading)
    TEXT_PROPERTY(SurnameReading, surnameReading)
    TEXT_PROPERTY(CompanyReading, companyReading)
#undef TEXT_PROPERTY

    HRESULT STDMETHODCALLTYPE GetCategoryName(BSTR* value) override {
        return GetText("GetCategoryName", value, &Record::category);
    }
    HRESULT STDMETHODCALLTYPE SetCategoryName(BSTR value) override {
        HostCall call = Call("SetCategoryName", record_->id);
        call.Arg(value);
        if (call.Injected()) return call.InjectedResult();
        std::u16string name = FromBstr(value);
        if (!state_->book.HasCategory(name)) {
            return call.Fail(E_INVALIDARG, u"カテゴリ「" + name + u"」はありません。");
        }
        record_->category = name;
        return Changed(call);
    }

    HRESULT STDMETHODCALLTYPE GetCustomField(long index, BSTR* value) override {
        HostCall call = Call("GetCustomField", record_->id);
        call.Arg(index);
        if (value == nullptr) return call.Fail(E_POINTER, kNullOut);
        *value = nullptr;
        if (call.Injected()) return call.InjectedResult();
        if (index < 0 || index >= kCustomFields) return BadCustomIndex(call);
        return HandOut(call, record_->customFields[static_cast<size_t>(index)], value);
    }
    HRESULT STDMETHODCALLTYPE SetCustomField(long index, BSTR value) override {
        HostCall call = Call("SetCustomField", record_->id);
        call.Arg(index).Arg(value);
        if (call.Injected()) return call.InjectedResult();
        if (index < 0 || index >= kCustomFields) return BadCustomIndex(call);
        record_->customFields[static_cast<size_t>(index)] = FromBstr(value);
        return Changed(call);
    }

    HRESULT STDMETHODCALLTYPE GetPrivate(long* value) override {
        HostCall call = Call("GetPrivate", record_->id);
        if (value == nullptr) return call.Fail(E_POINTER, kNullOut);
        *value = 0;
        if (call.Injected()) return call.InjectedResult();
        *value = record_->privateFlag;
        return call.Succeed(std::to_string(*value));
    }
    HRESULT STDMETHODCALLTYPE SetPrivate(long value) override {
        HostCall call = Call("SetPrivate", record_->id);
        call.Arg(value);
        if (call.Injected()) return call.InjectedResult();
        record_->privateFlag = value;
        return Changed(call);
    }

    HRESULT STDMETHODCALLTYPE GetContact(long index, long* label, BSTR* text) override {
        HostCall call = Call("GetContact", record_->id);
        call.Arg(index);
        if (label == nullptr || text == nullptr) return call.Fail(E_POINTER, kNullOut);
        *label = 0;
        *text = nullptr;
        if (index < 0 || index >= kContactSlots) {
            if (call.Injected()) return call.InjectedResult();
            return BadContactIndex(call);
        }
        const Contact& contact = record_->contacts[static_cast<size_t>(index)];
        // A null text still comes with the slot's real label.
        if (call.InjectedNull()) *label = contact.label;
        if (call.Injected()) return call.InjectedResult();
        *label = contact.label;
        *text = AllocBstr(contact.text);
        if (*text == nullptr) return call.Fail(E_OUTOFMEMORY, u"メモリが足りません。");
        return call.Succeed(std::to_string(*label) + ", " + RenderBstr(*text));
    }
    HRESULT STDMETHODCALLTYPE SetContact(long index, long label, BSTR text) override {
        HostCall call = Call("SetContact", record_->id);
        call.Arg(index).Arg(label).Arg(text);
        if (call.Injected()) return call.InjectedResult();
        if (index < 0 || index >= kContactSlots) return BadContactIndex(call);
        record_->contacts[static_cast<size_t>(index)] = Contact{label, FromBstr(text)};
        return Changed(call);
    }

    HRESULT STDMETHODCALLTYPE GetPrimarySlot(long* index) override {
        HostCall call = Call("GetPrimarySlot", record_->id);
        if (index == nullptr) return call.Fail(E_POINTER, kNullOut);
        *index = 0;
        if (call.Injected()) return call.InjectedResult();
        *index = record_->primarySlot;
        return call.Succeed(std::to_string(*index));
    }
    HRESULT STDMETHODCALLTYPE SetPrimarySlot(long index) override {
        HostCall call = Call("SetPrimarySlot", record_->id);
        call.Arg(index);
        if (call.Injected()) return call.InjectedResult();
        if (index < 0 || index >= kContactSlots) return BadContactIndex(call);
        record_->primarySlot = index;
        return Changed(call);
    }

    UNUSED_SLOTS(29, 32, 33, 34, 35, 36, 37)

  private:
    HRESULT GetText(const char* method, BSTR* value, TextField field) {
        HostCall call = Call(method, record_->id);
        if (value == nullptr) return call.Fail(E_POINTER, kNullOut);
        *value = nullptr;
        if (call.Injected()) return call.InjectedResult();
        return HandOut(call, (*record_).*field, value);
    }

    HRESULT SetText(const char* method, BSTR value, TextField field) {
        HostCall call = Call(method, record_->id);
        call.Arg(value);
        if (call.Injected()) return call.InjectedResult();
        (*record_).*field = FromBstr(value);
        return Changed(call);
    }

    HRESULT HandOut(HostCall& call, const std::u16string& text, BSTR* value) {
        *value = AllocBstr(text);
        if (*value == nullptr) return call.Fail(E_OUTOFMEMORY, u"メモリが足りません。");
        return call.Succeed(RenderBstr(*value));
    }

    HRESULT Changed(HostCall& call) {
        state_->NotifyBookChanged();
        return call.Succeed();
    }

    HRESULT BadCustomIndex(HostCall& call) {
        return call.Fail(E_INVALIDARG, u"カスタム項目の番号は 0 から 3 です。");
    }
    HRESULT BadContactIndex(HostCall& call) {
        return call.Fail(E_INVALIDARG, u"連絡先の番号は 0 から 4 です。");
    }

    RecordPtr record_;
};

}  // namespace

ComPtr<IAddressRecord> CreateAddressRecord(std::shared_ptr<HostState> state, RecordPtr record) {
    return AddressRecord::Make<AddressRecord, IAddressRecord>(std::move(state), std::move(record));
}

}  // namespace marupo::devhost
