// Loads one table (and optionally a user-phrase file) and exits: for timing loads in fresh
// processes and for the peak memory of a loaded table. With no file it only starts and
// exits, the baseline. "--generate FILE [SHAPE]" writes a generated benchmark table (the
// 3.8 MB one in character order unless a shape of generated_table.h is named);
// "--read FILE" only reads the file and finds its line ends, the floor of a load.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "cin_table.h"
#include "generated_table.h"

int main(int argc, char** argv) {
    if ((argc == 3 || argc == 4) && std::string_view(argv[1]) == "--generate") {
        const bench::TableShape* shape =
            bench::FindShape(argc == 4 ? argv[3] : "medium_3.8MB_chars");
        if (shape == nullptr) {
            std::fprintf(stderr, "no such shape: %s\n", argv[3]);
            return 1;
        }
        bench::WriteFile(argv[2], bench::GenerateTableText(*shape));
        return 0;
    }
    if (argc == 3 && std::string_view(argv[1]) == "--read") {
        std::ifstream in(argv[2], std::ios::binary);
        std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(argv[2])), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::size_t lines = 0;
        for (const char* at = bytes.data();
             const void* lf = std::memchr(
                 at, '\n', static_cast<std::size_t>(bytes.data() + bytes.size() - at));) {
            ++lines;
            at = static_cast<const char*>(lf) + 1;
        }
        return lines > 0 ? 0 : 1;
    }
    if (argc < 2) return 0;
    CinTable table;
    if (!table.Load(argv[1])) {
        std::fprintf(stderr, "load failed: %s\n", argv[1]);
        return 1;
    }
    if (argc >= 3 && !table.LoadUserPhrases(argv[2])) {
        std::fprintf(stderr, "user load failed: %s\n", argv[2]);
        return 1;
    }
    return 0;
}
