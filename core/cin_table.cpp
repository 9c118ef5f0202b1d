// The main table: loading, the change check and the key-name and header lookups.
#include "cin_table.h"

#include <utility>

#include "guarded_file_read.h"

namespace {

// Values are stored as 32-bit offsets into the text, so a larger file is refused.
constexpr std::uint64_t MaxTableBytes = UINT32_MAX - 1;

std::string FindCopy(const std::unordered_map<std::string, std::string_view>& map,
                     std::string_view name) {
    auto found = map.find(ToLowerAscii(name));
    return found == map.end() ? std::string() : std::string(found->second);
}

}  // namespace

CinTable::CinTable() = default;
CinTable::~CinTable() = default;
CinTable::CinTable(CinTable&&) noexcept = default;
CinTable& CinTable::operator=(CinTable&&) noexcept = default;

bool CinTable::Load(const std::filesystem::path& file) {
    std::optional<FileContent> content = ReadFileGuarded(file, MaxTableBytes);
    if (!content || content->size == 0) return false;

    // Built beside this table and moved in only when complete, so a failure, a thrown
    // std::bad_alloc included, leaves everything as it was. `file` may be this table's own
    // `path`: it is copied first.
    CinTable loaded;
    loaded.text = std::move(content->bytes);
    loaded.textSize = content->size;
    loaded.path = file;
    loaded.ParseMainText();
    if (loaded.chardefs.Empty()) return false;

    // Nothing below allocates or throws; the user phrases stay where they are.
    text.swap(loaded.text);
    textSize = loaded.textSize;
    path.swap(loaded.path);
    chardefs.swap(loaded.chardefs);
    keyNames.swap(loaded.keyNames);
    headers.swap(loaded.headers);
    fileWriteTime = content->stamp.writeTime;
    fileSize = content->stamp.size;
    return true;
}

ReloadResult CinTable::ReloadIfChanged() {
    if (path.empty()) return ReloadResult::Failed;
    std::optional<FileStamp> now = QueryFileStamp(path);
    if (!now) return ReloadResult::Failed;
    if (now->size == fileSize && now->writeTime == fileWriteTime) return ReloadResult::Unchanged;
    return Load(path) ? ReloadResult::Reloaded : ReloadResult::Failed;
}

std::string CinTable::KeyName(std::string_view key) const { return FindCopy(keyNames, key); }

std::string CinTable::HeaderValue(std::string_view name) const { return FindCopy(headers, name); }
