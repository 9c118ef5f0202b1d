// The typing host: typing_host.exe [--table PATH] [--out PATH]
// Hosts the text service in a window of its own; F12 (when the service leaves it to the
// application) or closing the window ends it, and the document is then written to the
// --out file as UTF-8.

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <string>

#include "fake_tsf/test_environment.h"
#include "typing_host_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring table = L"Z:" MOIK_SOURCE_DIR_W L"/data/ZiRevod-Ka.cin";
    std::wstring out;
    for (int i = 1; i + 1 < count; i += 2) {
        const std::wstring name = arguments[i];
        if (name == L"--table") table = arguments[i + 1];
        if (name == L"--out") out = arguments[i + 1];
    }
    LocalFree(arguments);

    fake_tsf::ComApartment apartment;
    fake_tsf::UseTable(table);
    typing_host::TypingHostWindow host;
    if (!host.Create(instance, 40, 40)) return 2;
    const int code = host.Run();
    if (!out.empty() && !host.SaveDocument(out)) return 3;
    host.Stop();
    return code;
}
