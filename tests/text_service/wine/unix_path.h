#pragma once
// Build outputs reach the tests as Unix paths; under Wine they are on drive Z:.

#include <filesystem>
#include <string>

inline std::filesystem::path WinePathOf(const char* unixPath) {
    return std::filesystem::path(std::string("Z:") + unixPath).make_preferred();
}
