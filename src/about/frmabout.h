#pragma once

#include "platform/twips.h"
#include "platform/webaddress.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace tintara {

struct FrmAboutUi
{
    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* Label2 = nullptr; // the author page address, opened when clicked
    QFrame* Line1[2] = {};    // the etched separator: white, then grey on top
    QPushButton* cmdOK = nullptr;
};

// The version window.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(WebAddressOpener openAddress, TwipsScale twips, QWidget* parent = nullptr);

    const FrmAboutUi& ui() const { return m_ui; }

    void Form_Load();
    void cmdOK_Click();
    void Label2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenDocument(const QString& address);

    WebAddressOpener m_openAddress;
    TwipsScale m_twips;
    FrmAboutUi m_ui;
};

} // namespace tintara
