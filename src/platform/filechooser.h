#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tintara {

struct OpenFileRequest
{
    QStringList nameFilters; // "Images (*.bmp *.png)", ...; the first is selected
};

struct SaveFileRequest
{
    QString path;            // offered file name or full path
    QStringList nameFilters; // "HTMLﾌｧｲﾙ (*.htm)", ...
    QString defaultSuffix;   // added to a name typed without one, e.g. "htm"
};

// The common open and save dialogs. Each returns the chosen full path, or an empty string when
// the user cancels. Save dialogs ask before overwriting and accept only existing folders.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    virtual QString chooseOpenFile(QWidget* parent, const OpenFileRequest& request) = 0;
    virtual QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request) = 0;
};

class DialogFileChooser final : public FileChooser
{
public:
    QString chooseOpenFile(QWidget* parent, const OpenFileRequest& request) override;
    QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request) override;
};

} // namespace tintara
