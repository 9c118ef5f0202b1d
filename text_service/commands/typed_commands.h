#pragma once
// The five typed commands: "mo" and three more letters, confirmed with Space or Enter.

#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 5> TypedCommandWords = {"moset", "moadd", "mokey",
                                                                      "mochs", "mocht"};

// Whether a word begins with the typed text.
class CommandPrefixMatcher {
  public:
    explicit CommandPrefixMatcher(std::string_view text) noexcept : typed(text) {}
    bool operator()(std::string_view word) const noexcept {
        return word.size() >= typed.size() && word.substr(0, typed.size()) == typed;
    }

  private:
    std::string_view typed;
};

// True when some command word begins with the text (a whole word counts).
bool IsTypedCommandPrefix(std::string_view text) noexcept;
