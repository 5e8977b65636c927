#pragma once
// A shell command's standard output, for the tests that compile and run exported C.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

inline std::string ShellOutput(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        out += static_cast<char>(c);
    EXPECT_EQ(::pclose(pipe), 0) << command << "\n" << out;
    return out;
}
