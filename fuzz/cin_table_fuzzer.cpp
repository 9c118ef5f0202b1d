// Feeds arbitrary bytes to CinTable::Load through a real file and checks the loaded table
// against a plain reference reading of the same bytes: every code, its neighbours, and
// wildcard queries of every shape the lookup tells apart, results and their order. A
// failed load must leave the previously loaded table answering as before.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cin_table.h"
#include "fuzz_files.h"
#include "reference_rules.h"
#include "wildcard_patterns.h"

namespace {

struct Reference {
    ReferenceCodes chardefs;
    std::map<std::string, std::string> keyNames;
    std::map<std::string, std::string> headers;
};

Reference ReadReference(std::string_view content) {
    Reference ref;
    int block = 0;  // 0 outside, 1 keyname, 2 chardef
    for (const std::string& line : ReferenceLines(content)) {
        if (block == 0 && line[0] == '#') continue;
        const auto [key, value] = ReferenceSplit(line);
        if (block == 0) {
            if (key == "%keyname" && value == "begin")
                block = 1;
            else if (key == "%chardef" && value == "begin")
                block = 2;
            else if (!key.empty() && key[0] == '%')
                ref.headers[ReferenceLower(key.substr(1))] = value;
        } else if (block == 1) {
            if (key == "%keyname" && value == "end")
                block = 0;
            else if (!key.empty() && !value.empty())
                ref.keyNames[ReferenceLower(key)] = value;
        } else {
            if (key == "%chardef" && value == "end")
                block = 0;
            else if (!key.empty() && !value.empty())
                ref.chardefs[ReferenceLower(key)].push_back(value);
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
    const ReferenceCodes noPhrases;

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
    std::vector<std::string_view> codes;
    for (const auto& [code, values] : ref.chardefs) {
        codes.push_back(code);
        // Each code, and neighbours that differ by one byte at the end, found only when
        // defined.
        for (const std::string& near :
             {code, code + '\0', code + 'a', code.substr(0, code.size() - 1)}) {
            Check(moved.Lookup(near) == ReferenceLookup(ref.chardefs, noPhrases, near));
        }
    }
    for (const auto& [key, name] : ref.keyNames) Check(moved.KeyName(key) == name);
    for (const auto& [name, value] : ref.headers) Check(moved.HeaderValue(name) == value);

    for (const std::string& pattern : WildcardPatterns(codes, content)) {
        Check(moved.Lookup(pattern) == ReferenceLookup(ref.chardefs, noPhrases, pattern));
        const std::string lowered = ReferenceLower(pattern);
        for (std::string_view code : codes) {
            Check(WildcardMatch(lowered, code) == ReferenceMatch(lowered, code));
        }
    }
    return 0;
}
