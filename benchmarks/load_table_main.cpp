// Loads one table (and optionally a user-phrase file) and exits: for timing loads in fresh
// processes and for the peak memory of a loaded table. With no file it only starts and
// exits, the baseline. "--generate FILE" writes the generated benchmark table.
#include <cstdio>
#include <string_view>

#include "cin_table.h"
#include "generated_table.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--generate") {
        bench::WriteFile(argv[2], bench::GenerateTableText());
        return 0;
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
