// The add-in as memory runs out. Its test build (tests/allocation_faults) counts every allocation
// the add-in makes itself, through operator new, as BSTRs and as system buffers, and makes the
// k-th fail: once, and from there on, as when memory stays exhausted. For k = 1, 2, ... until a
// run needs no more (as many as a run with nothing failing makes), the load of the DLL with a
// call through IDispatch, a full DllRegisterServer (afresh and over a registration) and
// DllUnregisterServer, OnInitialize, and an edit run and a creation run, each with a conversion,
// and edit runs that save the settings and show the about box, must end without a crash, leave
// no host object, module lock or allocation behind, and give their documented result.

#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "devhost/addin_host.h"
#include "devhost/addin_store.h"
#include "devhost/modal_agent.h"
#include "host/host_error.h"
#include "res/marupo_addin.h"
#include "tests/support/addin_dll.h"
#include "tests/win/addin_script_run.h"
#include "tests/win/editor_test_support.h"

namespace marupo {
namespace {

using testing::Outcome;
using testing::RunScenario;

enum class Failing { kOnce, kFromThereOn };
constexpr Failing kBothWays[] = {Failing::kOnce, Failing::kFromThereOn};
// Far beyond what any of the runs allocates: a sweep that gets here never ends.
constexpr long kMostAllocations = 5000;

const char* Name(Failing failing) {
    return failing == Failing::kOnce ? "failing once" : "failing from there on";
}

// Runs `run(k)`, which gives how many allocations the run counted, for k = 1, 2, ... until a
// run does not get as far as its failure, and reports how many did: as many as `run(0)`, the
// run with nothing failing, counts. Stops at the first run that broke an expectation.
template <class Run>
void Sweep(const char* what, Failing failing, Run run) {
    const long whole = run(0);
    long k = 1;
    for (; k < kMostAllocations; ++k) {
        SCOPED_TRACE("allocation " + std::to_string(k) + " " + Name(failing));
        if (run(k) < k || ::testing::Test::HasFailure()) break;
    }
    if (!::testing::Test::HasFailure()) {
        EXPECT_GT(k, 1) << what << " allocates nothing";
        EXPECT_EQ(k - 1, whole) << what << ": the sweep ended before the run's last allocation";
    }
    EXPECT_LT(k, kMostAllocations);
    std::printf("%s: %ld allocations, %s\n", what, k - 1, Name(failing));
}

// Edit runs that leave the editor through its own dialogs: the settings saved with OK, and the
// about box.
const testing::Scenario kDialogScenarios[] = {
    {"settings",
     "Marupo1",
     {1},
     "dialog \"Marupo 編集\"\nclick 361\ndialog \"Marupo 設定\"\nclose OK\nclose CANCEL\n"},
    {"about",
     "Marupo1",
     {1},
     "dialog \"Marupo 編集\"\nclick 362\ndialog \"バージョン情報\"\nclose OK\nclose CANCEL\n"},
};

std::filesystem::path FailingAllocationDll() {
    return testing::AddinDllPath().parent_path() / L"allocation-faults" / L"Marupo.dll";
}

// What the message boxes of these events showed, as `"TEXT" answered N`. The caption is left
// out: without memory for the application title the system's own stands in.
std::vector<std::string> BoxTexts(const std::vector<std::string>& events) {
    std::vector<std::string> texts;
    for (const std::string& event : events) texts.push_back(event.substr(event.find("\" \"") + 2));
    return texts;
}

std::vector<std::string> OneBox(const std::u16string& text) {
    return {devhost::QuoteText(text) + " answered 1"};
}

bool ClassRegistered() {
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_CLASSES_ROOT,
                     L"CLSID\\{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}\\InprocServer32", nullptr,
                     RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS) {
        return false;
    }
    return _wcsicmp(path, FailingAllocationDll().c_str()) == 0;
}

bool TypeLibraryRegistered() {
    Microsoft::WRL::ComPtr<ITypeLib> library;
    return LoadRegTypeLib(LIBID_MarupoAddinLib, 1, 0, 0x0409, &library) == S_OK;
}

bool HostKnowsAddin() {
    return devhost::FindAddin(testing::MarupoClsid()).has_value();
}

// The DLL loaded with its k-th allocation failing from DllMain on (the test build arms the fault
// from the environment before the module object is built), then the add-in object created and
// called through IDispatch: the load fails as a whole, or every call succeeds or reports running
// out of memory, and the DLL can be unloaded.
TEST(AllocationFailureSweepAtLoad, LoadFailsOrTheAddinAnswersThroughIDispatch) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    using Export = HRESULT STDAPICALLTYPE();
    using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
    {
        // Registered for the type library the dispatch implementation reads.
        testing::LoadedDll dll(FailingAllocationDll());
        ASSERT_EQ(dll.Export<Export>("DllRegisterServer")(), S_OK);
    }
    for (Failing failing : kBothWays) {
        Sweep("DllMain and IDispatch::Invoke", failing, [&](long k) {
            const std::wstring value =
                std::to_wstring(k) + (failing == Failing::kFromThereOn ? L"+" : L"");
            // Loaded anew, so that DllMain runs: this test comes first, before the others load it.
            EXPECT_EQ(GetModuleHandleW(FailingAllocationDll().c_str()), nullptr);
            SetEnvironmentVariableW(L"MARUPO_ALLOCATION_FAULT_AT_LOAD", value.c_str());
            testing::LoadedDll dll(FailingAllocationDll());
            SetEnvironmentVariableW(L"MARUPO_ALLOCATION_FAULT_AT_LOAD", nullptr);
            if (dll.Handle() == nullptr) {
                EXPECT_EQ(dll.Error(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
                return k;
            }
            Microsoft::WRL::ComPtr<IClassFactory> factory;
            Microsoft::WRL::ComPtr<IDispatch> addin;
            HRESULT hr = dll.Export<GetClassObject>("DllGetClassObject")(
                CLSID_MarupoAddin, IID_IClassFactory, &factory);
            if (hr == S_OK) hr = factory->CreateInstance(nullptr, IID_IDispatch, &addin);
            if (hr == S_OK) {
                long version = 0;
                hr = testing::InvokeGetFrameworkVersion(addin.Get(), LOCALE_USER_DEFAULT, version);
                if (hr == S_OK) {
                    EXPECT_EQ(version, 2);
                }
            }
            if (hr != S_OK) {
                EXPECT_EQ(hr, E_OUTOFMEMORY);
            }
            addin.Reset();
            factory.Reset();
            const long counted = dll.Export<long()>("DisarmAllocationFault")();
            EXPECT_EQ(dll.Export<Export>("DllCanUnloadNow")(), S_OK);
            return counted;
        });
    }
    testing::LoadedDll dll(FailingAllocationDll());
    dll.Export<Export>("DllUnregisterServer")();
    CoUninitialize();
}

// The way in exists in the test build alone: the shipped DLL holds no trace of its variable.
TEST(AllocationFailureSweepAtLoad, OnlyTheTestBuildReadsTheEnvironment) {
    const auto mentions = [](const std::filesystem::path& dll) {
        std::ifstream file(dll, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        return bytes.find("MARUPO_ALLOCATION_FAULT_AT_LOAD") != std::string::npos;
    };
    EXPECT_TRUE(mentions(FailingAllocationDll()));
    EXPECT_FALSE(mentions(testing::AddinDllPath()));
}

class AllocationFailureSweep : public ::testing::Test {
  protected:
    using ArmFunction = BOOL(long nth, BOOL persistent);
    using DisarmFunction = long();
    using LiveFunction = long();
    using Export = HRESULT STDAPICALLTYPE();

    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(
            devhost::RegisterServerDll(
                (testing::AddinDllPath().parent_path() / L"DesktopAddinRegistry.dll").wstring(),
                false),
            S_OK);
        ASSERT_NE(dll_.Handle(), nullptr) << "LoadLibrary failed with " << dll_.Error();
        arm_ = dll_.Export<ArmFunction>("ArmAllocationFault");
        disarm_ = dll_.Export<DisarmFunction>("DisarmAllocationFault");
        live_ = dll_.Export<LiveFunction>("LiveAllocations");
        register_ = dll_.Export<Export>("DllRegisterServer");
        unregister_ = dll_.Export<Export>("DllUnregisterServer");
        canUnloadNow_ = dll_.Export<Export>("DllCanUnloadNow");
        ASSERT_TRUE(arm_ && disarm_ && live_ && register_ && unregister_ && canUnloadNow_);
        // The BSTRs the add-in allocates count as well.
        ASSERT_TRUE(arm_(0, FALSE));
        disarm_();
        settings_.SetPaths(files_.Path(L"KEN_ALL.CSV"), files_.Path(L"JIGYOSYO.CSV"));
    }
    void TearDown() override {
        if (unregister_ != nullptr) unregister_();
        CoFreeUnusedLibrariesEx(0, 0);
        CoUninitialize();
    }

    // Runs `body` with the k-th allocation failing; whether the run got that far.
    template <class Body>
    bool WithFailure(long k, Failing failing, Body body) {
        Arm(k, failing);
        body();
        return Met(k);
    }
    void Arm(long k, Failing failing) { arm_(k, failing == Failing::kFromThereOn); }
    // k = 0 only counts: the warm-up run that loads what the module keeps for its lifetime.
    bool Met(long k) {
        counted_ = disarm_();
        return counted_ >= k && k > 0;
    }

    testing::LoadedDll dll_{FailingAllocationDll()};
    ArmFunction* arm_ = nullptr;
    DisarmFunction* disarm_ = nullptr;
    LiveFunction* live_ = nullptr;
    Export* register_ = nullptr;
    Export* unregister_ = nullptr;
    Export* canUnloadNow_ = nullptr;
    long counted_ = 0;  // allocations of the last run
    // Beside the program: the settings dialog refuses files in the temporary folder.
    testing::PostalFixtureFiles files_{testing::ProgramFolder()};
    testing::SettingsInRegistry settings_;
};

TEST_F(AllocationFailureSweep, RegistrationFailsWholeOrTellsTheHostLast) {
    ASSERT_EQ(register_(), S_OK);
    ASSERT_EQ(unregister_(), S_OK);
    const long live = live_();
    for (Failing failing : kBothWays) {
        Sweep("DllRegisterServer", failing, [&](long k) {
            HRESULT hr = E_FAIL;
            const bool met = WithFailure(k, failing, [&] { hr = register_(); });
            if (hr == S_OK) {
                // Only the host's entry may be missing.
                EXPECT_TRUE(ClassRegistered());
                EXPECT_TRUE(TypeLibraryRegistered());
                if (!met) {
                    EXPECT_TRUE(HostKnowsAddin());
                }
            } else {
                // The type library is the last step that counts: it cannot have been registered.
                EXPECT_EQ(hr, E_OUTOFMEMORY);
                EXPECT_TRUE(met);
                EXPECT_FALSE(TypeLibraryRegistered());
                EXPECT_FALSE(HostKnowsAddin());
            }
            EXPECT_EQ(live_(), live);
            EXPECT_EQ(unregister_(), S_OK);
            return counted_;
        });
        // Over a registration, the host's entry stays whatever fails: the old one is removed only
        // once everything for the new one is there.
        Sweep("DllRegisterServer again", failing, [&](long k) {
            EXPECT_EQ(register_(), S_OK);
            HRESULT hr = E_FAIL;
            WithFailure(k, failing, [&] { hr = register_(); });
            if (hr == S_OK) {
                EXPECT_TRUE(ClassRegistered());
                EXPECT_TRUE(TypeLibraryRegistered());
            } else {
                EXPECT_EQ(hr, E_OUTOFMEMORY);
            }
            EXPECT_TRUE(HostKnowsAddin());
            EXPECT_EQ(live_(), live);
            EXPECT_EQ(unregister_(), S_OK);
            return counted_;
        });
        Sweep("DllUnregisterServer", failing, [&](long k) {
            EXPECT_EQ(register_(), S_OK);
            HRESULT hr = E_FAIL;
            const bool met = WithFailure(k, failing, [&] { hr = unregister_(); });
            if (hr == S_OK) {
                // Only the host's entry may be left.
                EXPECT_FALSE(ClassRegistered());
                EXPECT_FALSE(TypeLibraryRegistered());
                if (!met) {
                    EXPECT_FALSE(HostKnowsAddin());
                }
            } else {
                EXPECT_EQ(hr, E_OUTOFMEMORY);
                EXPECT_TRUE(met);
                // The steps after the failing one still ran, with memory back.
                if (failing == Failing::kOnce) {
                    EXPECT_FALSE(HostKnowsAddin());
                }
            }
            EXPECT_EQ(live_(), live);
            // What was left goes with the next try.
            EXPECT_EQ(unregister_(), S_OK);
            EXPECT_FALSE(ClassRegistered());
            EXPECT_FALSE(HostKnowsAddin());
            return counted_;
        });
    }
}

TEST_F(AllocationFailureSweep, InitializationReportsOnceAndKeepsNothing) {
    ASSERT_EQ(register_(), S_OK);
    struct Loaded {
        bool met = false;
        HRESULT created = E_FAIL;
        HRESULT initialized = E_FAIL;
        long success = -1;
        std::vector<std::string> boxes;
    };
    // With `hostFails`, the host refuses its command table, so that the message for the host's
    // failure is made while memory runs out.
    const auto load = [&](long k, Failing failing, bool hostFails = false) {
        auto state = std::make_shared<devhost::HostState>();
        if (hostFails) state->faults.FailEvery("GetCommandTable", E_FAIL, std::nullopt);
        Loaded loaded;
        {
            devhost::AddinHost addins(state);
            devhost::ModalAgent agent(state->log);
            loaded.met =
                WithFailure(k, failing, [&] { addins.Load(testing::MarupoClsid(), L"Marupo"); });
            loaded.created = addins.Addins().at(0).createResult;
            loaded.initialized = addins.Addins().at(0).initializeResult;
            loaded.success = addins.Addins().at(0).success;
            addins.Stop();
            EXPECT_EQ(addins.HeldObjects(), 0);
        }
        for (const auto& entry : state->log.Entries()) {
            if (entry.event.rfind("messagebox ", 0) == 0) loaded.boxes.push_back(entry.event);
        }
        loaded.boxes = BoxTexts(loaded.boxes);
        return loaded;
    };
    ASSERT_EQ(load(0, Failing::kOnce).success, 1);
    const long live = live_();
    for (Failing failing : kBothWays) {
        Sweep("OnInitialize", failing, [&](long k) {
            const Loaded loaded = load(k, failing);
            if (!loaded.met) {
                EXPECT_EQ(loaded.success, 1);
                EXPECT_TRUE(loaded.boxes.empty());
            } else if (loaded.created == E_OUTOFMEMORY) {
                EXPECT_TRUE(loaded.boxes.empty());
            } else {
                EXPECT_EQ(loaded.created, S_OK);
                EXPECT_EQ(loaded.initialized, S_OK);
                EXPECT_EQ(loaded.success, 0);
                // The system's text for running out of memory; when there is no memory for
                // it, a fixed one.
                const std::wstring text = failing == Failing::kOnce
                                              ? HostErrorMessageText(E_OUTOFMEMORY)
                                              : L"メモリが不足しています。";
                EXPECT_EQ(loaded.boxes, OneBox(std::u16string(text.begin(), text.end())));
            }
            EXPECT_EQ(canUnloadNow_(), S_OK);
            EXPECT_EQ(live_(), live);
            return counted_;
        });
        Sweep("OnInitialize, the host failing", failing, [&](long k) {
            const Loaded loaded = load(k, failing, true);
            EXPECT_EQ(loaded.success, 0);
            EXPECT_EQ(loaded.boxes.size(), loaded.created == S_OK ? 1u : 0u);
            EXPECT_EQ(canUnloadNow_(), S_OK);
            EXPECT_EQ(live_(), live);
            return counted_;
        });
    }
}

TEST_F(AllocationFailureSweep, CommandRunsReportOnceAndKeepNothing) {
    ASSERT_EQ(register_(), S_OK);
    std::vector<testing::Scenario> scenarios(std::begin(testing::kCommandScenarios),
                                             std::end(testing::kCommandScenarios));
    scenarios.insert(scenarios.end(), std::begin(kDialogScenarios), std::end(kDialogScenarios));
    for (const testing::Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        const Outcome baseline = RunScenario(scenario, "");
        ASSERT_EQ(baseline.scriptError, "");
        ASSERT_EQ(baseline.commandResult, testing::Ended(scenario));
        ASSERT_TRUE(baseline.boxes.empty());
        const long live = live_();
        for (Failing failing : kBothWays) {
            const std::string what =
                std::string("OnCommand ") + scenario.command + " " + scenario.name;
            Sweep(what.c_str(), failing, [&](long k) {
                bool met = false;
                const Outcome run = RunScenario(scenario, "", nullptr, {},
                                                {[&] { Arm(k, failing); }, [&] { met = Met(k); }});
                EXPECT_EQ(run.commandResult, testing::Ended(scenario));
                EXPECT_EQ(run.held, 0);
                EXPECT_EQ(run.heldAfterStop, 0);
                if (run.boxes.empty()) {
                    // The run went through as if nothing had failed: no failure, or one the
                    // add-in could do without (a sort without its scratch buffer).
                    EXPECT_EQ(run.scriptError, "");
                    EXPECT_EQ(run.calls.size(), baseline.calls.size());
                } else {
                    // Its own failure has no host description: the user learns that memory ran
                    // out.
                    EXPECT_TRUE(met);
                    EXPECT_EQ(BoxTexts(run.boxes), OneBox(u"メモリが不足しています。"));
                }
                // The host calls made are the first ones of the run that went through: nothing
                // else was written.
                EXPECT_LE(run.calls.size(), baseline.calls.size());
                for (size_t i = 0; i < run.calls.size() && i < baseline.calls.size(); ++i) {
                    EXPECT_EQ(run.calls[i].Line(), baseline.calls[i].Line());
                }
                EXPECT_EQ(canUnloadNow_(), S_OK);
                EXPECT_EQ(live_(), live);
                return counted_;
            });
        }
    }
}

}  // namespace
}  // namespace marupo
