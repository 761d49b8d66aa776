#pragma once

#include "platform/twips.h"

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace tintara {

class FileChooser;

struct ShowHTMLUi
{
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr; // copy
    QPushButton* Command2 = nullptr; // save
    QStatusBar* StatusBar1 = nullptr;
};

// The viewer of a generated page: the text can be edited, copied or saved. Sizes are kept in
// twips of the owner's screen.
class ShowHTML : public QDialog
{
    Q_OBJECT
public:
    ShowHTML(FileChooser& files, TwipsScale twips, QWidget* parent = nullptr);

    const ShowHTMLUi& ui() const { return m_ui; }

    // The text box's contents with CR LF line ends, as they are copied and saved.
    QString text() const;

    void Form_Load(const QString& generated);
    void Form_Resize();
    void Command1_Click();
    void Command2_Click();

    // The file name the next save offers.
    QString savePath() const { return m_savePath; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    FileChooser& m_files;
    TwipsScale m_twips;
    ShowHTMLUi m_ui;
    QString m_savePath;
};

} // namespace tintara
