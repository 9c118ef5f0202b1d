#include "phrase_editor_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PhraseEditorBeside, TheEditorInTheProgramsOwnFolder) {
    const std::wstring own = L"C:\\Program Files\\Mo Input\\mo_input_ka_settings.exe";
    const auto editor = PhraseEditorBeside(own, static_cast<std::uint32_t>(own.size()));
    ASSERT_TRUE(editor.has_value());
    EXPECT_EQ(editor->wstring(), L"C:\\Program Files\\Mo Input\\mo_input_ka_words.exe");
    EXPECT_EQ(PhraseEditorCommandLine(*editor),
              L"\"C:\\Program Files\\Mo Input\\mo_input_ka_words.exe\"");
}

TEST(PhraseEditorBeside, APathThatIsMissingOrDidNotFitGivesNothing) {
    EXPECT_FALSE(PhraseEditorBeside(L"", 0).has_value());

    // 259 units fit with the terminator; a full buffer (260) means the text was cut off.
    std::wstring cut = L"C:\\" + std::wstring(240, L'b') + L"\\mo_input_ka_settings.exe";
    const std::wstring exactly259 = L"C:\\" + std::wstring(243, L'c') + L"\\settings.exe";
    ASSERT_EQ(exactly259.size(), 259u);
    EXPECT_TRUE(PhraseEditorBeside(exactly259, 259).has_value());
    cut.resize(OwnPathBufferUnits);
    EXPECT_FALSE(PhraseEditorBeside(cut, OwnPathBufferUnits).has_value());
}

}  // namespace
