#pragma once
// Temp folders and fixture files for tests; works natively and under Wine.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace test_support {

// The repository's data/ folder. Under Wine the Unix path is reached through drive Z:.
inline std::filesystem::path SourcePath(std::string_view relative) {
#ifdef _WIN32
    std::filesystem::path root = std::string("Z:") + MOIK_SOURCE_DIR;
#else
    std::filesystem::path root = MOIK_SOURCE_DIR;
#endif
    return (root / std::filesystem::path(std::string(relative))).lexically_normal();
}

// A fresh folder under the system temp folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        std::error_code ec;
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = std::filesystem::temp_directory_path(ec) /
                             ("moik-test-" + std::to_string(rd()) + std::to_string(attempt));
            if (std::filesystem::create_directory(candidate, ec)) {
                root = candidate;
                return;
            }
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return root; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return root / name; }

    // Writes bytes exactly as given (binary), creating parent folders.
    std::filesystem::path Write(const std::filesystem::path& name, std::string_view bytes) const {
        auto file = root / name;
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

  private:
    std::filesystem::path root;
};

}  // namespace test_support
