// GoogleTest's main for the Windows test programs. ctest reads the test list from standard
// output, and a CR the C runtime put before each LF would end up in every test's name.
#include "core/io/platform.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    platform::BinaryStandardOutput();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
