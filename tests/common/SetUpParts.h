// The parts of the test set-up that some tests need: a printer, a small file system, the scratch
// folders on the prefix's drive, a session whose printer is out of reach. The project's test run
// (scripts/run-tests.sh, which scripts/test.sh and CI use) provides every one and says so with
// VYX_FULL_SETUP=1: a part missing there fails the test, since a run that skipped it would pass
// while checking nothing. A test program run by hand outside that set-up skips the test instead.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

namespace setupparts {

inline bool InFullSetUp()
{
    wchar_t value[4] = {};
    return GetEnvironmentVariableW(L"VYX_FULL_SETUP", value, 4) == 1 && value[0] == L'1';
}

} // namespace setupparts

// Ends the test (failed in the full set-up, skipped elsewhere) unless the part is present; part
// names it ("a printer").
#define VYX_NEEDS_SETUP_PART(present, part)                                                                            \
    do {                                                                                                               \
        if (!(present)) {                                                                                              \
            if (setupparts::InFullSetUp())                                                                             \
                GTEST_FAIL() << "the test set-up did not provide " << (part);                                          \
            else                                                                                                       \
                GTEST_SKIP() << (part) << " is missing: run outside the test set-up";                                  \
        }                                                                                                              \
    } while (0)
