#include "platform/settingsstore.h"
#include "platform/terminationsignals.h"
#include "support/fakes.h"
#include "support/testregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace tintara;
using namespace tintara::test;

namespace {

const QString kApp = QStringLiteral("Tintara");

} // namespace

class SettingsStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void nativeStoreKeepsTextsExactlyAndLeavesOtherKeysAlone()
    {
        const SettingsFolder config;
        QVERIFY(writeFile(config.file(), "[ColorList]\nNo.0=Sea,#000080,#FFFFFF\n"
                                         "No.7=\"Old,#000000,#FFFFFF\"\n[elsewhere]\nkey=kept\n"));
        const QString awkward = QStringLiteral("@home; 1=2 \"q\" \\,#000000,#FFFFFF");
        {
            NativeSettingsStore store;
            // Written by hand without quotes, the entry still reads as one text.
            QCOMPARE(store.read(kApp, "ColorList", "No.0", "x"), "Sea,#000080,#FFFFFF");
            QCOMPARE(store.read(kApp, "ColorList", "No.1", "none"), "none");
            store.write(kApp, "ColorList", "No.0", awkward);
            store.write(kApp, "ColorList", "No.1", "");
            store.write(kApp, "window", "Top", "-1500");
            QVERIFY(store.commit(nullptr));
        }
        const QByteArray bytes = readFile(config.file());
        QVERIFY(bytes.contains("\nNo.1=\nNo.7=\"Old,#000000,#FFFFFF\"\n"));
        QVERIFY(bytes.contains("\n[elsewhere]\nkey=kept\n"));
        QVERIFY(bytes.contains("\n[window]\nTop=-1500\n"));
        QCOMPARE(NativeSettingsStore().read(kApp, "ColorList", "No.0", ""), awkward);
    }

    void namesTheFileWouldReadAsGroupsOrEscapesAreRefused()
    {
        const SettingsFolder config;
        NativeSettingsStore store;
        store.write(kApp, "color", "a/b", "1");
        QString where;
        QVERIFY(!store.commit(&where));
        QCOMPARE(where, QStringLiteral("color/a/b"));
    }

    void terminationSignalsReachTheNewestListenerThroughTheEventLoop()
    {
        struct sigaction before = {};
        ::sigaction(SIGINT, nullptr, &before);
        {
            TerminationSignals first;
            QSignalSpy firstHeard(&first, &TerminationSignals::requested);
            std::raise(SIGINT);
            QCOMPARE(firstHeard.count(), 0); // never from inside the handler
            QTRY_COMPARE(firstHeard.count(), 1);
            QCOMPARE(firstHeard.at(0).at(0).toInt(), SIGINT);
            {
                TerminationSignals second;
                QSignalSpy secondHeard(&second, &TerminationSignals::requested);
                std::raise(SIGHUP);
                QTRY_COMPARE(secondHeard.count(), 1);
            }
            std::raise(SIGTERM);
            QTRY_COMPARE(firstHeard.count(), 2);
        }
        struct sigaction after = {};
        ::sigaction(SIGINT, nullptr, &after);
        QVERIFY(after.sa_handler == before.sa_handler);
    }
};

TINTARA_TEST(SettingsStoreTest)
#include "tst_settingsstore.moc"
