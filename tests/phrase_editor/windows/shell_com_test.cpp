// COM for the shell's "open": the thread is apartment-threaded while the scope lasts and
// as it was afterwards; a thread already in another apartment keeps it and goes on.
#include "shell_com.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>

namespace {

TEST(ShellComScope, MakesTheThreadApartmentThreadedForItsLifetime) {
    std::thread([] {
        {
            const ShellComScope com;
            EXPECT_EQ(com.Result(), S_OK);
            // Already initialised, in that apartment: a second initialisation says so.
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE),
                      S_FALSE);
            CoUninitialize();
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        }
        // The scope's end took COM down again.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    }).join();
}

TEST(ShellComScope, AThreadInAnotherApartmentKeepsIt) {
    std::thread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            const ShellComScope com;
            EXPECT_EQ(com.Result(), RPC_E_CHANGED_MODE);
        }
        // Still initialised, still multithreaded: the scope uninitialised nothing.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        CoUninitialize();
        CoUninitialize();
    }).join();
}

}  // namespace
