// Feeds arbitrary bytes to CinTable::Load through a real file and checks the loaded table
// against a plain reference reading of the same bytes. A failed load must leave the
// previously loaded table answering as before.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cin_table.h"
#include "fuzz_files.h"

namespace {

struct Reference {
    std::map<std::string, std::vector<std::string>> chardefs;
    std::map<std::string, std::string> keyNames;
    std::map<std::string, std::string> headers;
};

Reference ReadReference(std::string_view content) {
    Reference ref;
    int block = 0;  // 0 outside, 1 keyname, 2 chardef
    for (const std::string& line : ReferenceLines(content)) {
        if (block == 0 && line[0] == '#') continue;
        KeyValue kv = SplitKeyValue(line);
        std::string key(kv.key), value(kv.value);
        if (block == 0) {
            if (key == "%keyname" && value == "begin")
                block = 1;
            else if (key == "%chardef" && value == "begin")
                block = 2;
            else if (!key.empty() && key[0] == '%')
                ref.headers[ToLowerAscii(key.substr(1))] = value;
        } else if (block == 1) {
            if (key == "%keyname" && value == "end")
                block = 0;
            else if (!key.empty() && !value.empty())
                ref.keyNames[ToLowerAscii(key)] = value;
        } else {
            if (key == "%chardef" && value == "end")
                block = 0;
            else if (!key.empty() && !value.empty())
                ref.chardefs[ToLowerAscii(key)].push_back(value);
        }
    }
    return ref;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

const char* const PreviousTable = "%keyname begin\nq old\n%keyname end\n%chardef begin\nq OLD\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto previousFile = FuzzFixedFile("previous.cin", PreviousTable);
    const auto file = FuzzScratchFile("input.cin");
    WriteFuzzFile(file, data, size);
    std::string_view content(reinterpret_cast<const char*>(data), size);
    Reference ref = ReadReference(content);

    CinTable table;
    Check(table.Load(previousFile));
    bool loaded = table.Load(file);
    Check(loaded == !ref.chardefs.empty());
    if (!loaded) {
        Check(table.Lookup("Q") == std::vector<std::string>{"OLD"});
        Check(table.KeyName("q") == "old");
        Check(table.Path() == previousFile);
        return 0;
    }
    Check(table.Path() == file);

    // Moving keeps every view valid.
    CinTable moved(std::move(table));
    for (const auto& [code, values] : ref.chardefs) {
        if (code.size() < 2 || code.find_first_of("?*") == std::string::npos) {
            Check(moved.Lookup(code) == values);
        }
        // Neighbours that differ by one byte at the end are found only when defined.
        for (const std::string& near : {code + '\0', code + 'a', code.substr(0, code.size() - 1)}) {
            if (near.find_first_of("?*") != std::string::npos && near.size() >= 2) continue;
            auto found = ref.chardefs.find(near);
            Check(moved.Lookup(near) ==
                  (found == ref.chardefs.end() ? std::vector<std::string>{} : found->second));
        }
    }
    for (const auto& [key, name] : ref.keyNames) Check(moved.KeyName(key) == name);
    for (const auto& [name, value] : ref.headers) Check(moved.HeaderValue(name) == value);

    // Wildcard queries built from the input's first bytes (so they hold '?' and '*' where
    // the input does), against std::map's bytewise order and a plain scan.
    const std::string head = ToLowerAscii(content.substr(0, 10));
    // Fixed-length patterns of up to seven bytes compare packed codes; longer ones and
    // those with '*' take the plain matcher.
    const std::string patterns[] = {head.substr(0, 3) + "*",
                                    "*" + head.substr(3),
                                    head.substr(0, 2) + "?" + head.substr(2, 1),
                                    "*" + head.substr(0, 1) + "*" + head.substr(1, 1),
                                    "**",
                                    "??",
                                    "?" + head.substr(0, 2),
                                    head.substr(0, 6) + "?",
                                    head.substr(0, 7) + "?",
                                    head.substr(0, 8) + "*",
                                    "????????",
                                    "*" + head.substr(0, 1) + "*",
                                    "?" + head.substr(0, 1) + "?" + head.substr(1, 1) + "?",
                                    "??" + head.substr(0, 1),
                                    "*?",
                                    "?*",
                                    head.substr(0, 1) + "*?" + head.substr(1, 2),
                                    "*" + head.substr(0, 2) + "*" + head.substr(2, 1) + "*",
                                    head};
    for (const std::string& pattern : patterns) {
        if (pattern.size() < 2 || pattern.find_first_of("?*") == std::string::npos) continue;
        std::vector<std::string> expected;
        for (const auto& [code, values] : ref.chardefs) {
            if (WildcardMatch(pattern, code)) {
                expected.insert(expected.end(), values.begin(), values.end());
            }
        }
        Check(moved.Lookup(pattern) == expected);
    }
    return 0;
}
