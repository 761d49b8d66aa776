#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// Qt Test's QTEST_MAIN with two differences. Nothing a test does may touch the real settings of
// the user running it, so XDG_CONFIG_HOME points into a folder of the test's own. And fonts and
// images keep the screen's DPI, as in the program, where QTEST_MAIN fixes them at 96 and the run
// at 120 DPI would no longer draw what a user sees.
#define TINTARA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        const QTemporaryDir configHome;                                                            \
        if (!configHome.isValid())                                                                 \
            qFatal("cannot make a folder for the test's settings");                                \
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());                               \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
