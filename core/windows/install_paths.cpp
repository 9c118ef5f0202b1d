#include "install_paths.h"

#include <string>
#include <vector>

#include "install_path_rules.h"
#include "settings_store.h"

namespace {

constexpr DWORD ModuleNameUnits = 260;
constexpr DWORD VariableUnits = 32768;

// Empty when the name cannot be read or does not fit: a cut name names the wrong folder.
std::filesystem::path ModuleFilePath(HMODULE module) {
    wchar_t buffer[ModuleNameUnits] = {};
    DWORD length = GetModuleFileNameW(module, buffer, ModuleNameUnits);
    if (length == 0 || length >= ModuleNameUnits) return {};
    return std::filesystem::path(std::wstring(buffer, length));
}

std::wstring ReadTablePathVariable() {
    std::vector<wchar_t> buffer(VariableUnits, L'\0');
    DWORD length =
        GetEnvironmentVariableW(InstallNames::TablePathVariable, buffer.data(), VariableUnits);
    if (!EnvironmentLengthUsable(length)) return {};
    return std::wstring(buffer.data(), length);
}

}  // namespace

std::filesystem::path ResolveTablePath(HMODULE module) {
    try {
        return ChooseTablePath(ReadTablePath(), ReadTablePathVariable(), ModuleFilePath(module),
                               FileExists);
    } catch (...) {
        // Out of memory while building a path: no table, so activation fails cleanly.
        return {};
    }
}

std::filesystem::path UserPhrasePath(HMODULE module) {
    try {
        return UserPhrasePathFor(ModuleFilePath(module));
    } catch (...) {
        return {};
    }
}
