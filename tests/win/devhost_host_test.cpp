// The stand-in host's objects as an add-in sees them: round trips through every property,
// injected faults with their error information, the call log, and the address view's state.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "devhost/host_objects.h"
#include "host/bstr.h"
#include "tests/support/fake_host_object.h"

namespace marupo::devhost {
namespace {

using Microsoft::WRL::ComPtr;

struct Com {
    Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Com() { CoUninitialize(); }
};

UniqueBstr Bstr(const wchar_t* text) {
    return UniqueBstr(SysAllocString(text));
}

std::wstring ErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return L"<none>";
    UniqueBstr text;
    info->GetDescription(text.Put());
    return BstrText(text);
}

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state_ = std::make_shared<HostState>();
        state_->book.AddCategory(u"仕事");
        state_->book.AddCategory(u"友人");
        state_->book.SetCustomLabel(0, u"誕生日");
        state_->book.SetCustomLabel(3, u"備考");
        for (int i = 0; i < 3; ++i)
            state_->book.Add(u"仕事")->surname =
                u"姓" + std::u16string(1, static_cast<char16_t>(u'A' + i));
        application_ = CreateApplication(state_);
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(application_->GetAddressBook(&unknown), S_OK);
        ASSERT_EQ(unknown.As(&book_), S_OK);
        state_->log.Clear();
    }

    ComPtr<IAddressRecord> RecordObject(int id) {
        return CreateAddressRecord(state_, state_->book.Find(id));
    }

    Com com_;
    std::shared_ptr<HostState> state_;
    ComPtr<IDesktopApplication> application_;
    ComPtr<IAddressBook> book_;
};

using Getter = HRESULT (STDMETHODCALLTYPE IAddressRecord::*)(BSTR*);
using Setter = HRESULT (STDMETHODCALLTYPE IAddressRecord::*)(BSTR);
struct TextProperty {
    const char* name;
    Getter get;
    Setter set;
    std::u16string Record::*field;
};

const TextProperty kTextProperties[] = {
    {"GivenName", &IAddressRecord::GetGivenName, &IAddressRecord::SetGivenName, &Record::givenName},
    {"Surname", &IAddressRecord::GetSurname, &IAddressRecord::SetSurname, &Record::surname},
    {"Title", &IAddressRecord::GetTitle, &IAddressRecord::SetTitle, &Record::title},
    {"Company", &IAddressRecord::GetCompany, &IAddressRecord::SetCompany, &Record::company},
    {"Street", &IAddressRecord::GetStreet, &IAddressRecord::SetStreet, &Record::street},
    {"City", &IAddressRecord::GetCity, &IAddressRecord::SetCity, &Record::city},
    {"Prefecture", &IAddressRecord::GetPrefecture, &IAddressRecord::SetPrefecture,
     &Record::prefecture},
    {"PostalCode", &IAddressRecord::GetPostalCode, &IAddressRecord::SetPostalCode,
     &Record::postalCode},
    {"Country", &IAddressRecord::GetCountry, &IAddressRecord::SetCountry, &Record::country},
    {"Note", &IAddressRecord::GetNote, &IAddressRecord::SetNote, &Record::note},
    {"GivenNameReading", &IAddressRecord::GetGivenNameReading, &IAddressRecord::SetGivenNameReading,
     &Record::givenNameReading},
    {"SurnameReading", &IAddressRecord::GetSurnameReading, &IAddressRecord::SetSurnameReading,
     &Record::surnameReading},
    {"CompanyReading", &IAddressRecord::GetCompanyReading, &IAddressRecord::SetCompanyReading,
     &Record::companyReading},
};

TEST_F(HostTest, EveryTextPropertyIsStoredAtOnceAndReadBack) {
    auto record = RecordObject(2);
    for (const auto& p : kTextProperties) {
        SCOPED_TRACE(p.name);
        // Each property gets its own text, so a setter writing the wrong field shows.
        std::wstring value = L"値 " + std::wstring(p.name, p.name + strlen(p.name)) + L" 𠮷\r\n2";
        auto in = Bstr(value.c_str());
        ASSERT_EQ(((*record.Get()).*p.set)(in.Get()), S_OK);
        const Record& stored = *state_->book.Find(2);
        EXPECT_EQ(std::wstring((stored.*p.field).begin(), (stored.*p.field).end()), value);
        UniqueBstr out;
        ASSERT_EQ(((*record.Get()).*p.get)(out.Put()), S_OK);
        EXPECT_EQ(BstrText(out), value);
    }
    // Nothing leaked into the other records.
    EXPECT_TRUE(state_->book.Find(1)->note.empty());
    EXPECT_EQ(state_->book.Find(3)->surname, u"姓C");
}

TEST_F(HostTest, IndexedAndNumericPropertiesRoundTrip) {
    auto record = RecordObject(1);
    for (long i = 0; i < 5; ++i) {
        std::wstring text = L"番号" + std::to_wstring(i);
        ASSERT_EQ(record->SetContact(i, 7 - i, Bstr(text.c_str()).Get()), S_OK);
    }
    for (long i = 0; i < 5; ++i) {
        long label = -1;
        UniqueBstr text;
        ASSERT_EQ(record->GetContact(i, &label, text.Put()), S_OK);
        EXPECT_EQ(label, 7 - i);
        EXPECT_EQ(BstrText(text), L"番号" + std::to_wstring(i));
    }
    for (long i = 0; i < 4; ++i) {
        ASSERT_EQ(record->SetCustomField(i, Bstr((L"項目" + std::to_wstring(i)).c_str()).Get()),
                  S_OK);
    }
    UniqueBstr custom;
    ASSERT_EQ(record->GetCustomField(2, custom.Put()), S_OK);
    EXPECT_EQ(BstrText(custom), L"項目2");
    EXPECT_EQ(state_->book.Find(1)->customFields[3], u"項目3");

    long value = -1;
    ASSERT_EQ(record->SetPrimarySlot(4), S_OK);
    ASSERT_EQ(record->GetPrimarySlot(&value), S_OK);
    EXPECT_EQ(value, 4);
    ASSERT_EQ(record->SetPrivate(1), S_OK);
    ASSERT_EQ(record->GetPrivate(&value), S_OK);
    EXPECT_EQ(value, 1);
    ASSERT_EQ(record->SetCategoryName(Bstr(L"友人").Get()), S_OK);
    UniqueBstr category;
    ASSERT_EQ(record->GetCategoryName(category.Put()), S_OK);
    EXPECT_EQ(BstrText(category), L"友人");
}

TEST_F(HostTest, OutOfRangeIndexesAndUnknownCategoriesAreRefusedWithADescription) {
    auto record = RecordObject(1);
    long label = 0;
    UniqueBstr text;
    const struct {
        const char* what;
        HRESULT hr;
    } cases[] = {
        {"contact 5", record->GetContact(5, &label, text.Put())},
        {"contact -1", record->SetContact(-1, 0, Bstr(L"x").Get())},
        {"custom 4", record->SetCustomField(4, Bstr(L"x").Get())},
        {"primary 5", record->SetPrimarySlot(5)},
        {"category", record->SetCategoryName(Bstr(L"存在しない").Get())},
        {"label 4", book_->GetCustomLabel(4, text.Put())},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.hr, E_INVALIDARG) << c.what;
    }
    EXPECT_EQ(state_->book.Find(1)->category, u"仕事");
    EXPECT_EQ(state_->book.Find(1)->primarySlot, 0);
}

TEST_F(HostTest, ViewStateCategoriesAndCustomLabels) {
    state_->book.SetViewCategory(u"友人");
    state_->book.SetPrivateDisplayMode(1);
    UniqueBstr view;
    ASSERT_EQ(book_->GetCurrentCategory(view.Put()), S_OK);
    EXPECT_EQ(BstrText(view), L"友人");
    long mode = 0;
    ASSERT_EQ(application_->GetPrivateDisplayMode(&mode), S_OK);
    EXPECT_EQ(mode, 1);

    ComPtr<ICategoryNames> names;
    ASSERT_EQ(book_->GetCategories(&names), S_OK);
    long count = 0;
    ASSERT_EQ(names->GetCount(&count), S_OK);
    std::vector<std::wstring> all;
    for (long i = 0; i < count; ++i) {
        UniqueBstr name;
        ASSERT_EQ(names->GetItem(i, name.Put()), S_OK);
        all.push_back(BstrText(name));
    }
    EXPECT_EQ(all, (std::vector<std::wstring>{L"未分類", L"仕事", L"友人"}));
    UniqueBstr beyond;
    EXPECT_EQ(names->GetItem(count, beyond.Put()), E_INVALIDARG);

    UniqueBstr label;
    ASSERT_EQ(book_->GetCustomLabel(3, label.Put()), S_OK);
    EXPECT_EQ(BstrText(label), L"備考");
    ASSERT_EQ(book_->GetCustomLabel(1, label.Put()), S_OK);
    EXPECT_EQ(BstrText(label), L"");
}

TEST_F(HostTest, SelectionListsRecordsInTheViewsOrder) {
    ASSERT_TRUE(state_->book.SetSelection({3, 1, 2}));
    ComPtr<IAddressRecords> selection;
    ASSERT_EQ(book_->GetSelection(&selection), S_OK);
    long count = 0;
    ASSERT_EQ(selection->GetCount(&count), S_OK);
    ASSERT_EQ(count, 3);
    std::vector<std::wstring> surnames;
    for (long i = 0; i < count; ++i) {
        ComPtr<IAddressRecord> record;
        ASSERT_EQ(selection->GetItem(i, &record), S_OK);
        UniqueBstr surname;
        ASSERT_EQ(record->GetSurname(surname.Put()), S_OK);
        surnames.push_back(BstrText(surname));
    }
    EXPECT_EQ(surnames, (std::vector<std::wstring>{L"姓C", L"姓A", L"姓B"}));
    ComPtr<IAddressRecord> none;
    EXPECT_EQ(selection->GetItem(3, &none), E_INVALIDARG);
    EXPECT_EQ(none, nullptr);
    // A view change drops the selection, as the host's own view does.
    state_->book.SetViewCategory(u"仕事");
    ASSERT_EQ(book_->GetSelection(&selection), S_OK);
    ASSERT_EQ(selection->GetCount(&count), S_OK);
    EXPECT_EQ(count, 0);
}

TEST_F(HostTest, AddRecordStoresTheRecordInTheNamedCategory) {
    ComPtr<IAddressRecord> record;
    ASSERT_EQ(
        book_->AddRecord(Bstr(L"友人").Get(), Bstr(L"花子").Get(), Bstr(L"山田").Get(), &record),
        S_OK);
    ASSERT_EQ(state_->book.Records().size(), 4u);
    const Record& added = *state_->book.Records().back();
    EXPECT_EQ(added.category, u"友人");
    EXPECT_EQ(added.givenName, u"花子");
    EXPECT_EQ(added.surname, u"山田");
    EXPECT_EQ(added.id, 4);
    ASSERT_EQ(record->SetCity(Bstr(L"渋谷区").Get()), S_OK);
    EXPECT_EQ(added.city, u"渋谷区");

    ComPtr<IAddressRecord> refused;
    EXPECT_EQ(book_->AddRecord(Bstr(L"All").Get(), Bstr(L"x").Get(), Bstr(L"y").Get(), &refused),
              E_INVALIDARG);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(ErrorDescription(), L"カテゴリ「All」はありません。");
    EXPECT_EQ(state_->book.Records().size(), 4u);
}

TEST_F(HostTest, InjectedFailureCarriesErrorInfoForTheFailingInterface) {
    state_->faults.FailEvery("SetCity", E_ACCESSDENIED, u"書き込みが拒否されました");
    auto record = RecordObject(1);
    EXPECT_EQ(record->SetCity(Bstr(L"新宿区").Get()), E_ACCESSDENIED);
    EXPECT_TRUE(state_->book.Find(1)->city.empty());
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(record.As(&support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IAddressRecord), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IAddressBook), S_FALSE);

    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    UniqueBstr description;
    info->GetDescription(description.Put());
    EXPECT_EQ(BstrText(description), L"書き込みが拒否されました");
    GUID guid = {};
    info->GetGUID(&guid);
    EXPECT_EQ(guid, IID_IAddressRecord);
    // The other setters still work.
    EXPECT_EQ(record->SetStreet(Bstr(L"1-1").Get()), S_OK);

    // Without a description no error information is left behind; error info can be turned off.
    state_->faults.Clear();
    state_->faults.FailEvery("IAddressBook.GetCurrentCategory", E_FAIL, std::nullopt);
    UniqueBstr view;
    EXPECT_EQ(book_->GetCurrentCategory(view.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), L"<none>");
    state_->errorInfoSupported = false;
    ComPtr<ISupportErrorInfo> bookSupport;
    ASSERT_EQ(book_.As(&bookSupport), S_OK);
    EXPECT_EQ(bookSupport->InterfaceSupportsErrorInfo(IID_IAddressBook), S_FALSE);
}

TEST_F(HostTest, NthCallRulesHitExactlyTheCountedCall) {
    auto record = RecordObject(1);
    state_->faults.FailNth(2, "IAddressRecord.SetNote", E_FAIL, u"二回目");
    state_->faults.FailCall(4, E_UNEXPECTED, u"四番目の呼び出し");
    std::vector<HRESULT> results = {
        record->SetNote(Bstr(L"1").Get()),   // call 1, SetNote 1
        record->SetNote(Bstr(L"2").Get()),   // call 2, SetNote 2: fails
        record->SetTitle(Bstr(L"3").Get()),  // call 3
        record->SetTitle(Bstr(L"4").Get()),  // call 4: fails
        record->SetNote(Bstr(L"5").Get()),   // call 5, SetNote 3
    };
    EXPECT_EQ(results, (std::vector<HRESULT>{S_OK, E_FAIL, S_OK, E_UNEXPECTED, S_OK}));
    EXPECT_EQ(state_->book.Find(1)->note, u"5");
    EXPECT_EQ(state_->book.Find(1)->title, u"3");
    EXPECT_TRUE(state_->faults.Empty());
}

TEST_F(HostTest, NullInjectionHandsBackNullStringsAndInterfaces) {
    state_->book.Find(1)->note = u"メモ";
    state_->book.Find(1)->contacts[1] = {5, u"03-0000-0000"};
    state_->faults.NullEvery("GetNote");
    state_->faults.NullEvery("GetContact");
    state_->faults.NullNth(1, "GetSelection");
    auto record = RecordObject(1);
    UniqueBstr note(SysAllocString(L"stale"));
    EXPECT_EQ(record->GetNote(note.Put()), S_OK);
    EXPECT_EQ(note.Get(), nullptr);
    long label = 0;
    UniqueBstr text;
    EXPECT_EQ(record->GetContact(1, &label, text.Put()), S_OK);
    EXPECT_EQ(text.Get(), nullptr);
    EXPECT_EQ(label, 5);

    ComPtr<IAddressRecords> selection;
    EXPECT_EQ(book_->GetSelection(&selection), S_OK);
    EXPECT_EQ(selection, nullptr);
    EXPECT_EQ(book_->GetSelection(&selection), S_OK);  // the rule was for the first call only
    EXPECT_NE(selection, nullptr);
}

TEST_F(HostTest, CallLogRecordsEveryCallInOrderWithArgumentsAndResults) {
    state_->faults.FailEvery("SetPrefecture", E_FAIL, u"失敗");
    auto record = RecordObject(2);
    record->SetCity(Bstr(L"港区").Get());
    record->SetPrefecture(Bstr(L"東京都").Get());
    record->SetContact(3, 4, nullptr);
    long slot = 0;
    record->GetPrimarySlot(&slot);
    EXPECT_EQ(
        state_->log.MethodNames(),
        (std::vector<std::string>{"IAddressRecord.SetCity", "IAddressRecord.SetPrefecture",
                                  "IAddressRecord.SetContact", "IAddressRecord.GetPrimarySlot"}));
    EXPECT_EQ(state_->log.Text(),
              "1 IAddressRecord#2.SetCity(\"港区\") -> S_OK\n"
              "2 IAddressRecord#2.SetPrefecture(\"東京都\") -> E_FAIL (injected)\n"
              "3 IAddressRecord#2.SetContact(3, 4, null) -> S_OK\n"
              "4 IAddressRecord#2.GetPrimarySlot() -> S_OK 0\n");
}

TEST_F(HostTest, CommandTableRecordsCommandsAndLoadsMenuBitmapsFromTheGivenModule) {
    ComPtr<IDesktopCommandTable> table;
    ASSERT_EQ(application_->GetCommandTable(&table), S_OK);
    // Any object with IDesktopCommand will do for the table; the host only stores it.
    class NullCommand : public testing::DispatchFake<IDesktopCommand> {
      public:
        HRESULT STDMETHODCALLTYPE OnCommand() override {
            return testing::UnexpectedCall("IDesktopCommand::OnCommand");
        }
    } command;
    long id = 0;
    ASSERT_EQ(table->AddCommand(7, Bstr(L"Stamp").Get(), &command, &id), S_OK);
    EXPECT_NE(id, 0);
    EXPECT_EQ(command.refs, 2);

    HMODULE addin = LoadLibraryW(L"..\\MarupoTestAddin.dll");
    ASSERT_NE(addin, nullptr);
    auto text = Bstr(L"&Stamp\t説明\tタイトル");
    ASSERT_EQ(table->AddMenuItem(id, reinterpret_cast<LONG_PTR>(addin), 501, text.Get(), 1), S_OK);
    // A module handle cut to 32 bits, or a bitmap the module lacks, is refused.
    LONG_PTR truncated =
        static_cast<LONG_PTR>(static_cast<long>(reinterpret_cast<LONG_PTR>(addin)));
    if (truncated != reinterpret_cast<LONG_PTR>(addin)) {
        EXPECT_EQ(table->AddMenuItem(id, truncated, 501, text.Get(), 1), E_INVALIDARG);
    }
    EXPECT_EQ(table->AddMenuItem(id, reinterpret_cast<LONG_PTR>(addin), 999, text.Get(), 1),
              E_INVALIDARG);
    EXPECT_EQ(table->AddMenuItem(id + 1, reinterpret_cast<LONG_PTR>(addin), 501, text.Get(), 1),
              E_INVALIDARG);
    FreeLibrary(addin);

    ASSERT_EQ(state_->commands.size(), 1u);
    EXPECT_EQ(state_->commands[0].name, u"Stamp");
    EXPECT_EQ(state_->commands[0].cookie, 7);
    ASSERT_EQ(state_->menuItems.size(), 1u);
    const auto& item = state_->menuItems[0];
    EXPECT_EQ(item.ItemText(), u"&Stamp");
    EXPECT_EQ(item.Description(), u"説明");
    BITMAP bitmap = {};
    ASSERT_NE(GetObjectW(item.bitmap->Get(), sizeof bitmap, &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, 16);

    state_->ReleaseCommands();
    EXPECT_EQ(command.refs, 1);
}

TEST_F(HostTest, UnknownInterfacesAndTypeInformationAreRefused) {
    ComPtr<IAddressRecords> records;
    EXPECT_EQ(application_.As(&records), E_NOINTERFACE);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(application_.As(&dispatch), S_OK);
    UINT count = 9;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_NOTIMPL);
}

}  // namespace
}  // namespace marupo::devhost
