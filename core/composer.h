#pragma once
// Turns single keys into a reading, looks it up and commits, offers a choice or refuses.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CinTable;

enum class ComposeAction : std::int32_t {
    PassThrough = 0,
    UpdateReading = 1,
    ShowCandidates = 2,
    Commit = 3,
    EndComposition = 4,
    Reject = 5,
};

struct ComposeResult {
    ComposeAction action;
    std::string text;  // UTF-8
};

class Composer {
  public:
    // The table is not owned; its owner keeps it alive as long as the composer.
    explicit Composer(const CinTable* table);

    ComposeResult AddKey(char key);
    ComposeResult Convert();
    ComposeResult Select(std::size_t index);
    ComposeResult Backspace();
    ComposeResult Reset();

    std::string ReadingText() const;
    const std::string& Reading() const { return reading; }
    const std::vector<std::string>& Candidates() const { return candidates; }

    static constexpr std::size_t MaxReadingKeys = 6;

  private:
    const CinTable* table;
    std::string reading;
    std::vector<std::string> candidates;
};
