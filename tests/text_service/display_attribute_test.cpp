// The reading's display attribute: the provider, the enumerator and the description.

#include "display_attribute.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "fake_tsf/test_environment.h"
#include "identifiers.h"
#include "settings_names.h"
#include "text_service.h"
#include "theme_colors.h"

namespace {

class DisplayAttributeTest : public ::testing::Test {
  protected:
    void SetUp() override { fake_tsf::ClearSettings(); }
    void TearDown() override { fake_tsf::ClearSettings(); }

    ComPtr<ITfDisplayAttributeProvider> provider =
        ComPtr<ITfDisplayAttributeProvider>::Attach(NewComObject<TextService>());

    ComPtr<IEnumTfDisplayAttributeInfo> NewEnum() {
        ComPtr<IEnumTfDisplayAttributeInfo> attributes;
        EXPECT_EQ(provider->EnumDisplayAttributeInfo(attributes.Put()), S_OK);
        return attributes;
    }
};

bool IsReadingInfo(ITfDisplayAttributeInfo* info) {
    GUID guid{};
    return info != nullptr && info->GetGUID(&guid) == S_OK &&
           SameIid(guid, GUID_ReadingDisplayAttribute);
}

// One step on an enumerator: Next (or Skip when `skip`) and what it must answer.
struct Step {
    bool skip;
    ULONG count;
    bool withFetched;
    HRESULT result;
    ULONG fetched;  // also the number of info objects written
};

struct EnumCase {
    const char* name;
    std::vector<Step> steps;
};

TEST_F(DisplayAttributeTest, EnumeratorYieldsTheAttributeOnceWhateverTheCounts) {
    const std::array<EnumCase, 8> cases{{
        {"one then none", {{false, 1, false, S_OK, 1}, {false, 1, false, S_FALSE, 0}}},
        {"two asked, one given", {{false, 2, true, S_FALSE, 1}, {false, 1, true, S_FALSE, 0}}},
        {"two asked without fetched", {{false, 2, false, E_POINTER, 0}, {false, 1, true, S_OK, 1}}},
        {"zero asked", {{false, 0, true, S_FALSE, 0}, {false, 1, true, S_OK, 1}}},
        {"skip zero after giving", {{false, 1, true, S_OK, 1}, {true, 0, false, S_OK, 0}}},
        {"skip one", {{true, 1, false, S_OK, 0}, {false, 1, true, S_FALSE, 0}}},
        {"skip three", {{true, 3, false, S_FALSE, 0}, {false, 1, true, S_FALSE, 0}}},
        {"skip when done", {{true, 1, false, S_OK, 0}, {true, 1, false, S_FALSE, 0}}},
    }};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ComPtr<IEnumTfDisplayAttributeInfo> attributes = NewEnum();
        for (const Step& step : c.steps) {
            if (step.skip) {
                EXPECT_EQ(attributes->Skip(step.count), step.result);
                continue;
            }
            std::array<ITfDisplayAttributeInfo*, 2> infos{};
            ULONG fetched = 99;
            EXPECT_EQ(
                attributes->Next(step.count, infos.data(), step.withFetched ? &fetched : nullptr),
                step.result);
            if (step.withFetched) {
                EXPECT_EQ(fetched, step.fetched);
            }
            EXPECT_EQ(IsReadingInfo(infos[0]), step.fetched == 1);
            EXPECT_EQ(infos[1], nullptr);
            for (auto* info : infos) {
                if (info != nullptr) {
                    EXPECT_EQ(info->Release(), 0u);
                }
            }
        }
    }
}

TEST_F(DisplayAttributeTest, ResetAndCloneCarryTheEnumeratorsState) {
    ComPtr<IEnumTfDisplayAttributeInfo> attributes = NewEnum();
    ComPtr<ITfDisplayAttributeInfo> info;
    ASSERT_EQ(attributes->Next(1, info.Put(), nullptr), S_OK);

    ComPtr<IEnumTfDisplayAttributeInfo> doneCopy;
    ASSERT_EQ(attributes->Clone(doneCopy.Put()), S_OK);
    EXPECT_NE(doneCopy.Get(), attributes.Get());
    EXPECT_EQ(doneCopy->Next(1, info.Put(), nullptr), S_FALSE);

    EXPECT_EQ(attributes->Reset(), S_OK);
    ComPtr<IEnumTfDisplayAttributeInfo> freshCopy;
    ASSERT_EQ(attributes->Clone(freshCopy.Put()), S_OK);
    EXPECT_EQ(attributes->Next(1, info.Put(), nullptr), S_OK);
    EXPECT_TRUE(IsReadingInfo(info.Get()));
    EXPECT_EQ(freshCopy->Next(1, info.Put(), nullptr), S_OK);  // the copy has its own state

    EXPECT_EQ(attributes->Clone(nullptr), E_POINTER);
    EXPECT_EQ(attributes->Next(1, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(provider->EnumDisplayAttributeInfo(nullptr), E_POINTER);
}

TEST_F(DisplayAttributeTest, InfoIsGivenOnlyForTheReadingAttribute) {
    ITfDisplayAttributeInfo* info = reinterpret_cast<ITfDisplayAttributeInfo*>(0x1234);
    EXPECT_EQ(provider->GetDisplayAttributeInfo(CLSID_TextService, &info), E_INVALIDARG);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(provider->GetDisplayAttributeInfo(GUID_ReadingDisplayAttribute, nullptr), E_POINTER);

    ASSERT_EQ(provider->GetDisplayAttributeInfo(GUID_ReadingDisplayAttribute, &info), S_OK);
    EXPECT_TRUE(IsReadingInfo(info));
    // Handed over with its construction reference only.
    EXPECT_EQ(info->Release(), 0u);
}

TEST_F(DisplayAttributeTest, InfoDescribesAThinSolidUnderlineAndKeepsTheTextColours) {
    ComPtr<ITfDisplayAttributeInfo> info;
    ASSERT_EQ(provider->GetDisplayAttributeInfo(GUID_ReadingDisplayAttribute, info.Put()), S_OK);

    TF_DISPLAYATTRIBUTE attribute;
    std::memset(&attribute, 0xCD, sizeof(attribute));
    ASSERT_EQ(info->GetAttributeInfo(&attribute), S_OK);
    EXPECT_EQ(attribute.crText.type, TF_CT_NONE);
    EXPECT_EQ(attribute.crBk.type, TF_CT_NONE);
    EXPECT_EQ(attribute.lsStyle, TF_LS_SOLID);
    EXPECT_FALSE(attribute.fBoldLine);
    EXPECT_EQ(attribute.crLine.type, TF_CT_COLORREF);
    EXPECT_EQ(attribute.crLine.cr, ThemePresets[0].selection);
    EXPECT_EQ(attribute.bAttr, TF_ATTR_INPUT);

    EXPECT_EQ(info->SetAttributeInfo(&attribute), E_NOTIMPL);
    EXPECT_EQ(info->Reset(), S_OK);
    EXPECT_EQ(info->GetAttributeInfo(nullptr), E_POINTER);
    EXPECT_EQ(info->GetGUID(nullptr), E_POINTER);
    EXPECT_EQ(info->GetDescription(nullptr), E_POINTER);

    ComPtr<IUnknown> unknown;
    EXPECT_EQ(info.As(IID_IUnknown, unknown), S_OK);
    ComPtr<IEnumTfDisplayAttributeInfo> wrong;
    EXPECT_EQ(info.As(IID_IEnumTfDisplayAttributeInfo, wrong), E_NOINTERFACE);
}

TEST_F(DisplayAttributeTest, UnderlineFollowsTheStoredSelectionColourOnEveryCall) {
    ComPtr<ITfDisplayAttributeInfo> info;
    ASSERT_EQ(provider->GetDisplayAttributeInfo(GUID_ReadingDisplayAttribute, info.Put()), S_OK);
    TF_DISPLAYATTRIBUTE attribute{};
    ASSERT_EQ(info->GetAttributeInfo(&attribute), S_OK);
    ASSERT_EQ(attribute.crLine.cr, ThemePresets[0].selection);

    const COLORREF stored = ThemePresets[0].selection == 0x00123456 ? 0x00654321 : 0x00123456;
    fake_tsf::StoreSetting(SettingNames::ThemeSelection, stored);
    ASSERT_EQ(info->GetAttributeInfo(&attribute), S_OK);
    EXPECT_EQ(attribute.crLine.cr, stored);
}

TEST_F(DisplayAttributeTest, DescriptionIsTheNineCharacterName) {
    ComPtr<ITfDisplayAttributeInfo> info;
    ASSERT_EQ(provider->GetDisplayAttributeInfo(GUID_ReadingDisplayAttribute, info.Put()), S_OK);
    BSTR description = nullptr;
    ASSERT_EQ(info->GetDescription(&description), S_OK);
    ASSERT_NE(description, nullptr);
    EXPECT_EQ(SysStringLen(description), 9u);
    EXPECT_EQ(std::wstring(description, SysStringLen(description)),
              L"\u60A0\u7136\u8F38\u5165\u6CD5\u7D44\u5B57\u5B57\u6839");
    SysFreeString(description);
}

TEST_F(DisplayAttributeTest, HeldAttributeObjectsKeepTheLibraryLoaded) {
    const auto before = DllObjectCount.load();
    ComPtr<IEnumTfDisplayAttributeInfo> attributes = NewEnum();
    ComPtr<ITfDisplayAttributeInfo> info;
    ASSERT_EQ(attributes->Next(1, info.Put(), nullptr), S_OK);
    provider = nullptr;
    EXPECT_EQ(DllObjectCount.load(), before + 1);  // the service went, two objects came
    attributes = nullptr;
    info = nullptr;
    EXPECT_EQ(DllObjectCount.load(), before - 1);
}

}  // namespace
