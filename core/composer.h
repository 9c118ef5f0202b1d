#pragma once
// Turns single keys into a reading, looks it up and commits, offers a choice or refuses.

#include <cstddef>
#include <cstdint>
#include <memory>
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
    const std::vector<std::string>& Candidates() const;

    static constexpr std::size_t MaxReadingKeys = 6;

  private:
    const CinTable* table;
    std::string reading;
    // Shared and never changed once made, so a copy of the composer (what a key leaves to
    // go back to when the document refuses it) costs the same however long the list is.
    std::shared_ptr<const std::vector<std::string>> candidates;
};
