#include "table_loads.h"

namespace {

template <class Load>
auto LoadOr(auto failed, Load&& load) noexcept -> decltype(failed) {
    try {
        return load();
    } catch (...) {
        return failed;
    }
}

}  // namespace

bool LoadTableSafely(CinTable& table, const std::filesystem::path& path) noexcept {
    return LoadOr(false, [&] { return table.Load(path); });
}

bool LoadUserPhrasesSafely(CinTable& table, const std::filesystem::path& path) noexcept {
    return LoadOr(false, [&] { return table.LoadUserPhrases(path); });
}

ReloadResult ReloadTableSafely(CinTable& table) noexcept {
    return LoadOr(ReloadResult::Failed, [&] { return table.ReloadIfChanged(); });
}

ReloadResult ReloadUserPhrasesSafely(CinTable& table) noexcept {
    return LoadOr(ReloadResult::Failed, [&] { return table.ReloadUserPhrasesIfChanged(); });
}
