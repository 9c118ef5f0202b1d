// The CIN line rules: comments and headers outside the blocks, then the %keyname and
// %chardef blocks. Keywords are compared byte for byte; only a block's own end line
// closes it, so blocks never nest.
#include <algorithm>

#include "chardef_store.h"
#include "cin_lines.h"
#include "cin_table.h"

namespace {

enum class Block { Outside, KeyName, Chardef };

bool Is(const KeyValue& line, std::string_view key, std::string_view value) {
    return line.key == key && line.value == value;
}

}  // namespace

void CinTable::ParseMainText() {
    std::string_view content(text.get(), textSize);
    // Every entry takes a line of its own: with LF line ends (CR LF included) the line ends
    // bound the entries; a file of CR ends alone grows the arrays as it goes.
    chardefs.Reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) +
                     1);
    Block block = Block::Outside;
    ForEachCinLine(content, [&](std::string_view line) {
        if (block == Block::Outside && line.front() == '#') return;
        KeyValue entry = SplitCinLine(line);
        switch (block) {
            case Block::Outside:
                if (Is(entry, "%keyname", "begin")) {
                    block = Block::KeyName;
                } else if (Is(entry, "%chardef", "begin")) {
                    block = Block::Chardef;
                } else if (!entry.key.empty() && entry.key.front() == '%') {
                    headers.insert_or_assign(ToLowerAscii(entry.key.substr(1)), entry.value);
                }
                break;
            case Block::KeyName:
                if (Is(entry, "%keyname", "end")) {
                    block = Block::Outside;
                } else if (!entry.key.empty() && !entry.value.empty()) {
                    keyNames.insert_or_assign(ToLowerAscii(entry.key), entry.value);
                }
                break;
            case Block::Chardef:
                if (Is(entry, "%chardef", "end")) {
                    block = Block::Outside;
                } else if (!entry.key.empty() && !entry.value.empty()) {
                    chardefs.Add(entry.key,
                                 static_cast<std::uint32_t>(entry.value.data() - text.get()));
                }
                break;
        }
    });
    chardefs.FinishBuild();
}
