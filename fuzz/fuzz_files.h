#pragma once
// One scratch file per fuzzer process: the loaders under test read real files.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

inline std::filesystem::path FuzzScratchFile(const char* name) {
    static const std::filesystem::path folder = [] {
        auto dir =
            std::filesystem::temp_directory_path() / ("moik-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        return dir;
    }();
    return folder / name;
}

inline void WriteFuzzFile(const std::filesystem::path& file, const std::uint8_t* data,
                          std::size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A file with fixed content, written once per process.
inline std::filesystem::path FuzzFixedFile(const char* name, std::string_view content) {
    auto file = FuzzScratchFile(name);
    WriteFuzzFile(file, reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    return file;
}
