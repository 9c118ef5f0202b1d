// The COM class keys, the apartment handling of the two exports and the result of
// unregistration, against Wine's real registry and COM.
#include <gtest/gtest.h>

#include <thread>

#include "identifiers.h"
#include "registration.h"
#include "wine/registry_probe.h"
#include "wine/running_under_wine.h"
#include "wine/running_under_wow64.h"

namespace {

constexpr wchar_t ExpectedClassKey[] =
    L"Software\\Classes\\CLSID\\{A26B5AB7-55FC-4AA9-88A2-E10193678475}";

class ComClassKeys : public ::testing::Test {
  protected:
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, ExpectedClassKey); }
};

TEST_F(ComClassKeys, PathIsTheClassIdentifierInBracedUpperCase) {
    EXPECT_EQ(ClsidKeyPath(), ExpectedClassKey);
}

TEST_F(ComClassKeys, RegisterComServerWritesNameLibraryAndApartmentWithTerminators) {
    ASSERT_EQ(RegisterComServer(), S_OK);

    const auto name = registry_probe::ReadMachineValue(ExpectedClassKey, nullptr);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(name->Text(), L"悠然輸入法-啟明星");
    EXPECT_EQ(name->bytes.size(), 20u);

    // DllModule is null in a test program, so the library path is the program's own.
    wchar_t ownPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, ownPath, MAX_PATH);
    const std::wstring serverKey = std::wstring(ExpectedClassKey) + L"\\InprocServer32";
    const auto server = registry_probe::ReadMachineValue(serverKey, nullptr);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(server->Text(), ownPath);
    EXPECT_EQ(server->bytes.size(), 2 * (std::wstring(ownPath).size() + 1));

    const auto threading = registry_probe::ReadMachineValue(serverKey, L"ThreadingModel");
    ASSERT_TRUE(threading);
    EXPECT_EQ(threading->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(threading->Text(), L"Apartment");
    EXPECT_EQ(threading->bytes.size(), 20u);
}

TEST_F(ComClassKeys, RegisteringAgainOverwritesTheValues) {
    HKEY key = nullptr;
    const std::wstring serverKey = std::wstring(ExpectedClassKey) + L"\\InprocServer32";
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, serverKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(SetRegistryString(key, L"ThreadingModel", L"Free, and a much longer stale text"),
              S_OK);
    RegCloseKey(key);

    ASSERT_EQ(RegisterComServer(), S_OK);
    const auto threading = registry_probe::ReadMachineValue(serverKey, L"ThreadingModel");
    ASSERT_TRUE(threading);
    EXPECT_EQ(threading->Text(), L"Apartment");
    EXPECT_EQ(threading->bytes.size(), 20u);
}

TEST(Unregistration, MissingTreeCountsAsSuccessOtherStatusesAreMapped) {
    const struct {
        LSTATUS status;
        HRESULT expected;
    } cases[] = {
        {ERROR_SUCCESS, S_OK},
        {ERROR_FILE_NOT_FOUND, S_OK},
        {ERROR_ACCESS_DENIED, static_cast<HRESULT>(0x80070005)},
        {ERROR_PATH_NOT_FOUND, static_cast<HRESULT>(0x80070003)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnregistrationResult(c.status), c.expected) << "status " << c.status;
    }
}

enum class Apartment { None, SingleThreaded, MultiThreaded };

HRESULT EnterApartment(Apartment apartment) {
    switch (apartment) {
        case Apartment::None:
            return S_OK;
        case Apartment::SingleThreaded:
            return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        case Apartment::MultiThreaded:
            return CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    }
    return E_UNEXPECTED;
}

template <typename Body>
void OnThreadIn(Apartment apartment, Body body) {
    std::thread([&] {
        ASSERT_EQ(EnterApartment(apartment), S_OK);
        body();
        if (apartment != Apartment::None) CoUninitialize();
    }).join();
}

TEST(InitializeCom, AnswersForEachApartmentTheThreadIsAlreadyIn) {
    const struct {
        Apartment before;
        HRESULT expected;
        bool initialized;
    } cases[] = {
        {Apartment::None, S_OK, true},
        {Apartment::SingleThreaded, S_FALSE, true},
        {Apartment::MultiThreaded, S_OK, false},  // RPC_E_CHANGED_MODE: work on in the MTA
    };
    for (const auto& c : cases) {
        OnThreadIn(c.before, [&] {
            bool initialized = !c.initialized;
            EXPECT_EQ(InitializeCom(initialized), c.expected);
            EXPECT_EQ(initialized, c.initialized);
            if (initialized) CoUninitialize();
        });
    }
}

// After an export the thread's COM state is what it was before: a CoInitializeEx of
// the same kind answers "already initialised" exactly when the thread had COM itself.
TEST(RegistrationExports, LeaveTheCallersApartmentAsTheyFoundIt) {
    for (Apartment before :
         {Apartment::None, Apartment::SingleThreaded, Apartment::MultiThreaded}) {
        OnThreadIn(before, [&] {
            const HRESULT registered = DllRegisterServer();
            if (RunningUnderWow64()) {
                // The x86 library under WOW64 writes its COM class alone, before any COM
                // initialisation or TSF call, so no apartment stops it.
                EXPECT_EQ(registered, S_OK) << "apartment " << static_cast<int>(before);
                EXPECT_TRUE(registry_probe::MachineKeyExists(ExpectedClassKey));
            } else if (before == Apartment::MultiThreaded && RunningUnderWine()) {
                // Wine, 32-bit and 64-bit alike, cannot hand its apartment-bound TSF objects
                // to a multithreaded apartment: registration goes on past COM
                // initialisation, fails at the first TSF object and undoes the COM class.
                EXPECT_EQ(registered, E_NOINTERFACE);
                EXPECT_FALSE(registry_probe::MachineKeyExists(ExpectedClassKey));
            } else {
                EXPECT_EQ(registered, S_OK) << "apartment " << static_cast<int>(before);
            }
            EXPECT_EQ(DllUnregisterServer(), S_OK) << "apartment " << static_cast<int>(before);
            const DWORD model = before == Apartment::MultiThreaded ? COINIT_MULTITHREADED
                                                                   : COINIT_APARTMENTTHREADED;
            const HRESULT probe = CoInitializeEx(nullptr, model);
            if (before == Apartment::None) {
                EXPECT_EQ(probe, S_OK);
                CoUninitialize();
                return;
            }
            EXPECT_EQ(probe, S_FALSE)
                << "the thread's own COM was torn down, apartment " << static_cast<int>(before);
            CoUninitialize();
            CoUninitialize();
            EXPECT_EQ(CoInitializeEx(nullptr, model), S_OK) << "a CoUninitialize is missing";
        });
    }
    EXPECT_FALSE(registry_probe::MachineKeyExists(ExpectedClassKey));
}

}  // namespace
