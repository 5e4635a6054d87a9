// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTest>
#include <functional>

// The tests of a folder share one program, so that the build links once a folder instead of
// once a test. Each test class registers itself under its name; the program runs the one named
// first on its command line (testmain.cpp), and ctest starts it once a class.
namespace testregistry {

using Run = std::function<int(int argc, char** argv)>;

bool add(const char* name, Run run);
// Runs the test named in argv[1] with the rest of the command line; 2 for an unknown name.
int run(int argc, char** argv);

} // namespace testregistry

// Registers a QTest class: "program TestClass [QTest options and functions]" runs it.
#define TARVOLK_TEST(TestClass)                                                                    \
    static const bool TestClass##Registered =                                                      \
        testregistry::add(#TestClass, [](int argc, char** argv) {                                  \
            TestClass test;                                                                        \
            return QTest::qExec(&test, argc, argv);                                                \
        })
