#pragma once

#include <QObject>

namespace tintara::test {

using TestFactory = QObject* (*)();
int registerTestClass(const char* name, TestFactory factory);

} // namespace tintara::test

// Registers a Qt Test class with its area's test executable.
#define TINTARA_TEST(Class)                                                                        \
    static const int Class##Registration =                                                         \
        ::tintara::test::registerTestClass(#Class, []() -> QObject* { return new Class; });
