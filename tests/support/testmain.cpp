#include "support/testregistry.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace tintara::test {

namespace {

std::vector<std::pair<const char*, TestFactory>>& registry()
{
    static std::vector<std::pair<const char*, TestFactory>> classes;
    return classes;
}

} // namespace

int registerTestClass(const char* name, TestFactory factory)
{
    registry().emplace_back(name, factory);
    return static_cast<int>(registry().size());
}

} // namespace tintara::test

// Runs every registered class, or only the one named first on the command line:
//   test_app TintaraWindowTest [testfunction ...]
int main(int argc, char* argv[])
{
    // Nothing a test does may touch the real settings of the user running it.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);

    const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
    int failures = 0;
    for (const auto& [name, factory] : tintara::test::registry()) {
        if (only && std::strcmp(only, name) != 0)
            continue;
        std::unique_ptr<QObject> testObject(factory());
        std::vector<char*> args{argv[0]};
        if (only)
            args.insert(args.end(), argv + 2, argv + argc);
        failures += QTest::qExec(testObject.get(), static_cast<int>(args.size()), args.data());
    }
    return failures == 0 ? 0 : 1;
}
