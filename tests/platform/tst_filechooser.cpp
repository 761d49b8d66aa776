#include "platform/filechooser.h"
#include "support/modal.h"
#include "support/testregistry.h"

#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>

using namespace tintara;
using namespace tintara::test;

class FileChooserTest : public QObject
{
    Q_OBJECT
private slots:
    void saveDialogRefusesAFolderThatDoesNotExist()
    {
        QTemporaryDir folder;
        const QString missing = folder.filePath(QStringLiteral("missing/page.htm"));
        const QString good = folder.filePath(QStringLiteral("page.htm"));
        SaveFileRequest request;
        request.path = QStringLiteral("tintara.htm");
        request.nameFilters = QStringList{QStringLiteral("HTMLﾌｧｲﾙ (*.htm)")};
        request.defaultSuffix = QStringLiteral("htm");

        MessageBoxCatcher messages;
        bool stayedOpen = false;
        onModal<QFileDialog>([&](QFileDialog* dialog) {
            QCOMPARE(dialog->defaultSuffix(), QStringLiteral("htm"));
            QCOMPARE(dialog->nameFilters(), request.nameFilters);
            dialog->selectFile(missing);
            QMetaObject::invokeMethod(dialog, "accept");
            stayedOpen = dialog->isVisible();
            dialog->selectFile(good);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        DialogFileChooser chooser;
        QCOMPARE(chooser.chooseSaveFile(nullptr, request), good);
        QVERIFY(stayedOpen);
        QCOMPARE(messages.texts.size(), 1);
    }
};

TINTARA_TEST(FileChooserTest)

#include "tst_filechooser.moc"
