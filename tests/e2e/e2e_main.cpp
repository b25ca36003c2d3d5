#include <gtest/gtest.h>

#include "e2e_fixture.h"

// Usage: vigilon_e2e_tests.exe --vigilon=<path of vigilon.exe> [--packages=<folder of the installer
// test packages>] [GoogleTest options]
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::wstring const option = L"--vigilon=";
    std::wstring const packages = L"--packages=";
    for (int i = 1; i < argc; ++i) {
        std::wstring const arg = argv[i];
        if (arg.rfind(option, 0) == 0) vigilon::e2e::g_vigilonExe = arg.substr(option.size());
        if (arg.rfind(packages, 0) == 0) vigilon::e2e::g_packagesFolder = arg.substr(packages.size());
    }
    if (vigilon::e2e::g_vigilonExe.empty()) {
        std::fprintf(stderr, "missing --vigilon=<path of vigilon.exe>\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
