#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "file_holder.h"
#include "window_helper.h"

// The test program doubles as a helper: with --hold-file it opens a file without sharing and keeps
// it open until told to let go, so that tests can see a file held by another process; with
// --window-helper it opens a window of another process.
int wmain(int argc, wchar_t** argv) {
    if (argc == 5 && std::wstring(argv[1]) == vigilon::testing::kHoldFileSwitch) {
        return vigilon::testing::HoldFile(argv[2], argv[3], argv[4]);
    }
    if (argc == 4 && std::wstring(argv[1]) == vigilon::testing::kWindowHelperSwitch) {
        return vigilon::testing::RunWindowHelper(argv[2], argv[3]);
    }
    // The shell's folder dialog needs a single-threaded COM apartment, as in the program itself.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
