// The library's COM shell: class object, factory, server locks and unloading.

#include <gtest/gtest.h>
#include <windows.h>

#include "class_factory.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "identifiers.h"
#include "text_service.h"
#include "tsf_declarations.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
STDAPI DllCanUnloadNow();
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

ComPtr<IClassFactory> GetFactory() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(DllGetClassObject(CLSID_TextService, IID_IClassFactory, factory.PutVoid()), S_OK);
    return factory;
}

TEST(ComServer, ClassObjectOfAnotherClassIsRefusedWithoutTouchingTheOutPointer) {
    void* sentinel = reinterpret_cast<void*>(0x1234);
    void* out = sentinel;
    EXPECT_EQ(DllGetClassObject(GUID_ReadingDisplayAttribute, IID_IClassFactory, &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, sentinel);
}

TEST(ComServer, EveryCallMakesANewFactoryAndReleasingThemRestoresTheCount) {
    const auto before = DllObjectCount.load();
    {
        ComPtr<IClassFactory> first = GetFactory();
        ComPtr<IClassFactory> second = GetFactory();
        ASSERT_TRUE(first && second);
        EXPECT_NE(first.Get(), second.Get());
        EXPECT_EQ(DllObjectCount.load(), before + 2);
        EXPECT_EQ(DllCanUnloadNow(), S_FALSE);

        ComPtr<IUnknown> identity;
        EXPECT_EQ(first.As(IID_IUnknown, identity), S_OK);
        EXPECT_EQ(static_cast<void*>(identity.Get()), static_cast<void*>(first.Get()));
    }
    EXPECT_EQ(DllObjectCount.load(), before);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ComServer, UnknownInterfaceNullsTheOutPointerAndDestroysTheNewObject) {
    const auto before = DllObjectCount.load();
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(DllGetClassObject(CLSID_TextService, IID_ITfThreadMgr, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DllObjectCount.load(), before);

    ComPtr<IClassFactory> factory = GetFactory();
    out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DllObjectCount.load(), before + 1);  // only the factory is left

    EXPECT_EQ(DllGetClassObject(CLSID_TextService, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(DllObjectCount.load(), before + 1);
}

TEST(ComServer, ServerLockKeepsTheLibraryLoadedWithNoObjectAlive) {
    ASSERT_EQ(DllCanUnloadNow(), S_OK);
    GetFactory()->LockServer(TRUE);  // the factory itself is gone after this line
    EXPECT_EQ(DllLockCount.load(), 1u);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    GetFactory()->LockServer(FALSE);
    EXPECT_EQ(DllLockCount.load(), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ComServer, AggregationIsRefusedAndCreatesNothing) {
    ComPtr<IClassFactory> factory = GetFactory();
    const auto before = DllObjectCount.load();
    ComPtr<IUnknown> outer(static_cast<IUnknown*>(factory.Get()));
    void* sentinel = reinterpret_cast<void*>(0x1234);
    void* out = sentinel;
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(DllObjectCount.load(), before);
}

TEST(ComServer, CreatedServiceHoldsOneReferenceAndIsCountedUntilReleased) {
    ComPtr<IClassFactory> factory = GetFactory();
    const auto before = DllObjectCount.load();
    ITfTextInputProcessor* processor = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITfTextInputProcessor,
                                      reinterpret_cast<void**>(&processor)),
              S_OK);
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(DllObjectCount.load(), before + 1);
    EXPECT_EQ(processor->AddRef(), 2u);
    EXPECT_EQ(processor->Release(), 1u);
    EXPECT_EQ(processor->Release(), 0u);
    EXPECT_EQ(DllObjectCount.load(), before);
}

TEST(ComServer, EntryPointOnlyStoresTheModuleAndKeepsItOnDetach) {
    HINSTANCE saved = DllModule;
    HINSTANCE self = GetModuleHandleW(nullptr);
    EXPECT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(DllModule, self);
    EXPECT_TRUE(DllMain(self, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(DllModule, self);
    DllModule = saved;
}

}  // namespace
