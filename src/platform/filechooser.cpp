#include "platform/filechooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tintara {

namespace {

// Qt's own save dialog accepts a name in a folder that does not exist; the file could then not
// be written. Keep the dialog open instead, as the system dialogs do.
class SaveDialog final : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo chosen(files.constFirst());
            if (!chosen.isDir() && !chosen.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QStringLiteral("フォルダ %1 は存在しません。")
                                         .arg(QDir::toNativeSeparators(chosen.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

QString DialogFileChooser::chooseOpenFile(QWidget* parent, const OpenFileRequest& request)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(request.nameFilters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString DialogFileChooser::chooseSaveFile(QWidget* parent, const SaveFileRequest& request)
{
    SaveDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.path.isEmpty())
        dialog.selectFile(request.path);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace tintara
