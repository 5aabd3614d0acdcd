#include <gtest/gtest.h>

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <optional>
#include <string>
#include <vector>

#include "host/error_text.h"
#include "host/host_call.h"
#include "tests/support/fake_host_object.h"

namespace marupo {
namespace {

using Microsoft::WRL::ComPtr;

// The thread's error information is shared by everything on it: start every test from none.
void ClearErrorInfo() {
    SetErrorInfo(0, nullptr);
}

// Sets the thread's error information as a host does before returning a failure.
void SetHostErrorInfo(const wchar_t* description, const wchar_t* source, const IID& iid) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.GetAddressOf()), S_OK);
    create->SetDescription(const_cast<LPOLESTR>(description));
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetGUID(iid);
    create->SetHelpContext(42);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(create.As(&info), S_OK);
    ASSERT_EQ(SetErrorInfo(0, info.Get()), S_OK);
}

std::wstring PendingErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.GetAddressOf()) != S_OK || !info) return L"<none>";
    UniqueBstr text;
    info->GetDescription(text.Put());
    return BstrText(text);
}

// A host category list that can fail, with or without ISupportErrorInfo.
class FakeCategoryNames : public testing::DispatchFake<ICategoryNames>, public ISupportErrorInfo {
  public:
    std::vector<std::optional<std::wstring>> names;  // nullopt: the host hands back null
    HRESULT failure = S_OK;                          // returned by GetCount and GetItem
    HRESULT successCode = S_OK;                      // returned when not failing
    const wchar_t* errorDescription = nullptr;       // set as error information on failure
    bool offersSupportErrorInfo = false;
    HRESULT supportAnswer = S_OK;  // what InterfaceSupportsErrorInfo answers for ICategoryNames

    // IUnknown, for both bases
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(ICategoryNames)) {
            *out = static_cast<ICategoryNames*>(this);
        } else if (iid == IID_ISupportErrorInfo && offersSupportErrorInfo) {
            *out = static_cast<ISupportErrorInfo*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchFake::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchFake::Release(); }

    // A base-interface method, expected only where a test makes it fail.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return FAILED(failure) ? Fail() : DispatchFake::GetTypeInfoCount(count);
    }

    // ICategoryNames
    HRESULT STDMETHODCALLTYPE GetCount(long* count) override {
        if (FAILED(failure)) return Fail();
        *count = static_cast<long>(names.size());
        return successCode;
    }
    HRESULT STDMETHODCALLTYPE GetItem(long index, BSTR* name) override {
        *name = nullptr;
        if (FAILED(failure)) return Fail();
        if (index < 0 || static_cast<size_t>(index) >= names.size()) return E_INVALIDARG;
        const auto& value = names[static_cast<size_t>(index)];
        if (value) *name = SysAllocStringLen(value->data(), static_cast<UINT>(value->size()));
        return successCode;
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(ICategoryNames) ? supportAnswer : S_FALSE;
    }

  private:
    HRESULT Fail() {
        if (errorDescription != nullptr) {
            SetHostErrorInfo(errorDescription, L"PalmDesktop.Categories", __uuidof(ICategoryNames));
        }
        return failure;
    }
};

// The fake as the host interface it stands for.
ICategoryNames* AsHost(FakeCategoryNames& names) {
    return &names;
}

// An object whose QueryInterface answers what the test says, for the QueryInterface rule.
class FakeUnknown : public testing::CountedFake<IUnknown> {
  public:
    HRESULT answer = S_OK;
    IUnknown* handOut = nullptr;  // written to the out-parameter whatever the answer

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = handOut;
        if (SUCCEEDED(answer) && handOut != nullptr) handOut->AddRef();
        return answer;
    }
};

// A host application that hands out an address book object, for getters with interface results.
class FakeApplication : public testing::DispatchFake<IDesktopApplication> {
  public:
    IUnknown* addressBook = nullptr;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(IDesktopApplication)) {
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAddressBook(IUnknown** book) override {
        *book = addressBook;
        if (addressBook != nullptr) addressBook->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPrivateDisplayMode(long* mode) override {
        *mode = 3;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetCommandTable(IDesktopCommandTable** table) override {
        *table = nullptr;
        return testing::UnexpectedCall("IDesktopApplication::GetCommandTable");
    }
    MARUPO_UNEXPECTED_SLOT(8)
    MARUPO_UNEXPECTED_SLOT(9)
    MARUPO_UNEXPECTED_SLOT(11)
    MARUPO_UNEXPECTED_SLOT(12)
    MARUPO_UNEXPECTED_SLOT(13)
    MARUPO_UNEXPECTED_SLOT(14)
    MARUPO_UNEXPECTED_SLOT(15)
    MARUPO_UNEXPECTED_SLOT(16)
    MARUPO_UNEXPECTED_SLOT(17)
    MARUPO_UNEXPECTED_SLOT(18)
    MARUPO_UNEXPECTED_SLOT(19)
    MARUPO_UNEXPECTED_SLOT(20)
    MARUPO_UNEXPECTED_SLOT(21)
};

class HostCallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ClearErrorInfo();
    }
    void TearDown() override {
        ClearErrorInfo();
        CoUninitialize();
    }

    // Runs `call`, which must raise HostError, and hands the error back.
    template <class Call>
    static HostError Raised(Call call) {
        try {
            call();
        } catch (const HostError& error) {
            return error;
        }
        ADD_FAILURE() << "no HostError raised";
        return HostError(S_OK);
    }
};

TEST_F(HostCallTest, GettersHandBackValuesStringsAndInterfaces) {
    FakeCategoryNames fake;
    fake.names = {L"未分類", std::nullopt, L"仕事"};
    ICategoryNames* names = &fake;
    EXPECT_EQ(HostGet(names, &ICategoryNames::GetCount), 3L);
    EXPECT_EQ(BstrText(HostGet(names, &ICategoryNames::GetItem, 0L)), L"未分類");
    UniqueBstr absent = HostGet(names, &ICategoryNames::GetItem, 1L);
    EXPECT_EQ(absent.Get(), nullptr);
    EXPECT_EQ(BstrText(HostGet(names, &ICategoryNames::GetItem, 2L)), L"仕事");

    FakeApplication application;
    application.addressBook = names;
    {
        ComPtr<IUnknown> book = HostGet(static_cast<IDesktopApplication*>(&application),
                                        &IDesktopApplication::GetAddressBook);
        EXPECT_EQ(book.Get(), static_cast<IUnknown*>(names));
        EXPECT_EQ(fake.refs, 2);  // the caller owns the reference handed back
        EXPECT_EQ(HostGet(RequireHost<IDesktopApplication>(&application),
                          &IDesktopApplication::GetPrivateDisplayMode),
                  3L);
    }
    EXPECT_EQ(fake.refs, 1);
    EXPECT_EQ(application.refs, 1);
}

TEST_F(HostCallTest, SuccessCodesOtherThanOkPassThrough) {
    FakeCategoryNames names;
    names.successCode = S_FALSE;
    long count = -1;
    EXPECT_EQ(HostCall(AsHost(names), &ICategoryNames::GetCount, &count), S_FALSE);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CheckHost(S_FALSE, AsHost(names)), S_FALSE);
}

TEST_F(HostCallTest, FailureCarriesResultInterfaceAndHostDescription) {
    FakeCategoryNames names;
    names.failure = E_ACCESSDENIED;
    names.offersSupportErrorInfo = true;
    names.errorDescription = L"カテゴリを読めません";
    ComPtr<ICategoryNames> held(&names);
    const HostError error = Raised([&] { HostGet(held, &ICategoryNames::GetItem, 0L); });
    EXPECT_EQ(error.Result(), E_ACCESSDENIED);
    EXPECT_EQ(error.InterfaceName(), "ICategoryNames");
    EXPECT_TRUE(IsEqualIID(error.InterfaceId(), __uuidof(ICategoryNames)));
    ASSERT_TRUE(error.HasErrorInfo());
    EXPECT_EQ(error.Description(), L"カテゴリを読めません");
    EXPECT_EQ(error.ErrorInfo().source, L"PalmDesktop.Categories");
    EXPECT_EQ(error.ErrorInfo().helpContext, 42u);
    EXPECT_TRUE(IsEqualGUID(error.ErrorInfo().interfaceId, __uuidof(ICategoryNames)));
    EXPECT_NE(std::string(error.what()).find("ICategoryNames"), std::string::npos);
    // Taken, not left behind for an unrelated later failure.
    EXPECT_EQ(PendingErrorDescription(), L"<none>");
}

TEST_F(HostCallTest, ErrorInformationIsIgnoredUnlessTheInterfaceVouchesForIt) {
    struct Row {
        const char* name;
        bool offers;
        HRESULT answer;
    };
    const Row rows[] = {
        {"no ISupportErrorInfo", false, S_OK},
        {"answers S_FALSE", true, S_FALSE},
        {"answers a failure", true, E_FAIL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ClearErrorInfo();
        FakeCategoryNames names;
        names.failure = E_FAIL;
        names.offersSupportErrorInfo = row.offers;
        names.supportAnswer = row.answer;
        names.errorDescription = L"from this call";
        const HostError error = Raised([&] { HostGet(AsHost(names), &ICategoryNames::GetCount); });
        EXPECT_EQ(error.Result(), E_FAIL);
        EXPECT_EQ(error.InterfaceName(), "ICategoryNames");
        EXPECT_FALSE(error.HasErrorInfo());
        EXPECT_TRUE(error.Description().empty());
        // Not consumed: it belongs to whoever set it.
        EXPECT_EQ(PendingErrorDescription(), L"from this call");
    }
}

TEST_F(HostCallTest, StaleErrorInformationIsNotReportedForAFailureWithoutAny) {
    SetHostErrorInfo(L"stale", L"elsewhere", IID_IUnknown);
    FakeCategoryNames names;
    names.failure = E_UNEXPECTED;
    names.offersSupportErrorInfo = false;
    const HostError error = Raised([&] { HostGet(AsHost(names), &ICategoryNames::GetCount); });
    EXPECT_FALSE(error.HasErrorInfo());
    EXPECT_TRUE(error.Description().empty());
}

TEST_F(HostCallTest, SupportedInterfaceWithoutErrorInformationHasNone) {
    FakeCategoryNames names;
    names.failure = E_OUTOFMEMORY;
    names.offersSupportErrorInfo = true;
    const HostError error = Raised([&] { HostGet(AsHost(names), &ICategoryNames::GetCount); });
    EXPECT_EQ(error.Result(), E_OUTOFMEMORY);
    EXPECT_FALSE(error.HasErrorInfo());
    EXPECT_TRUE(error.Description().empty());
}

TEST_F(HostCallTest, CallThroughNullInterfaceIsEPointer) {
    const HostError error =
        Raised([] { HostGet(static_cast<ICategoryNames*>(nullptr), &ICategoryNames::GetCount); });
    EXPECT_EQ(error.Result(), E_POINTER);
    EXPECT_EQ(error.InterfaceName(), "ICategoryNames");

    const ComPtr<IAddressRecords> empty;
    EXPECT_EQ(Raised([&] { HostGet(empty, &IAddressRecords::GetItem, 0L); }).Result(), E_POINTER);
}

TEST_F(HostCallTest, BaseInterfaceMethodIsReportedUnderTheHeldInterface) {
    FakeCategoryNames names;
    names.failure = E_NOTIMPL;
    const HostError error = Raised([&] { HostGet(AsHost(names), &IDispatch::GetTypeInfoCount); });
    EXPECT_EQ(error.Result(), E_NOTIMPL);
    EXPECT_EQ(error.InterfaceName(), "ICategoryNames");
    EXPECT_TRUE(IsEqualIID(error.InterfaceId(), __uuidof(ICategoryNames)));
}

TEST_F(HostCallTest, HostReferencesAreGivenBackOnFailure) {
    FakeCategoryNames names;
    names.failure = E_FAIL;
    {
        ComPtr<ICategoryNames> held(&names);
        EXPECT_EQ(names.refs, 2);
        EXPECT_THROW(HostGet(held, &ICategoryNames::GetCount), HostError);
        names.offersSupportErrorInfo = true;  // the ISupportErrorInfo query is released too
        EXPECT_THROW(HostGet(held, &ICategoryNames::GetCount), HostError);
    }
    EXPECT_EQ(names.refs, 1);
}

TEST_F(HostCallTest, QueryFollowsTheHostRule) {
    FakeCategoryNames names;
    FakeUnknown unknown;

    // Found: a counted reference of the asked type.
    unknown.handOut = static_cast<ICategoryNames*>(&names);
    {
        ComPtr<ICategoryNames> found = QueryHost<ICategoryNames>(&unknown);
        EXPECT_EQ(found.Get(), static_cast<ICategoryNames*>(&names));
        EXPECT_EQ(names.refs, 2);
        EXPECT_EQ(RequireHost<ICategoryNames>(&unknown).Get(), found.Get());
    }
    EXPECT_EQ(names.refs, 1);

    // E_NOINTERFACE, a null object, or success with null: empty, and E_POINTER when required.
    unknown.handOut = nullptr;
    unknown.answer = E_NOINTERFACE;
    EXPECT_FALSE(QueryHost<ICategoryNames>(&unknown));
    EXPECT_EQ(Raised([&] { RequireHost<ICategoryNames>(&unknown); }).Result(), E_POINTER);
    EXPECT_FALSE(QueryHost<ICategoryNames>(static_cast<IUnknown*>(nullptr)));
    EXPECT_EQ(Raised([] { RequireHost<ICategoryNames>(static_cast<IUnknown*>(nullptr)); }).Result(),
              E_POINTER);
    unknown.answer = S_OK;
    EXPECT_FALSE(QueryHost<ICategoryNames>(&unknown));
    EXPECT_EQ(Raised([&] { RequireHost<ICategoryNames>(&unknown); }).Result(), E_POINTER);

    // Any other failure raises its own HRESULT, carrying nothing else.
    unknown.answer = E_UNEXPECTED;
    const HostError error = Raised([&] { QueryHost<ICategoryNames>(&unknown); });
    EXPECT_EQ(error.Result(), E_UNEXPECTED);
    EXPECT_TRUE(error.InterfaceName().empty());
    EXPECT_FALSE(error.HasErrorInfo());
}

TEST_F(HostCallTest, FailedQueryDoesNotReleaseWhatItWroteBack) {
    FakeCategoryNames names;
    FakeUnknown unknown;
    unknown.handOut = static_cast<ICategoryNames*>(&names);  // written, but no reference taken
    for (HRESULT answer : {E_NOINTERFACE, E_UNEXPECTED}) {
        unknown.answer = answer;
        try {
            QueryHost<ICategoryNames>(&unknown);
        } catch (const HostError&) {
        }
    }
    EXPECT_EQ(names.refs, 1);
}

// The system's texts are Wine's under the Japanese locale, whose line break must go; where it
// has none, the text falls back to the number.
TEST_F(HostCallTest, MessageTextIsTheSystemTextWithoutItsLineBreakOrTheNumber) {
    const struct {
        HRESULT hr;
        const wchar_t* text;
    } rows[] = {
        {E_OUTOFMEMORY, L"メモリが不足しています。"},
        {E_ACCESSDENIED, L"アクセスが拒否されました。"},
        {E_FAIL, L"呼び出しが失敗しました。"},
        {E_INVALIDARG, L"パラメーターは正しくありません。"},
        {E_NOTIMPL, L"未実装です。"},
        {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"ファイルが見つかりません。"},
        {E_POINTER, L"Unknown error 0x80004003"},
        {E_NOINTERFACE, L"Unknown error 0x80004002"},
        {static_cast<HRESULT>(0x80040201), L"IDispatch error #1"},
        {static_cast<HRESULT>(0x80040200), L"Unknown error 0x80040200"},
        {static_cast<HRESULT>(0xA0001234), L"Unknown error 0xA0001234"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hr);
        EXPECT_EQ(HostErrorMessageText(row.hr), row.text);
    }
}

}  // namespace
}  // namespace marupo
