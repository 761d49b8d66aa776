#include "app/tintara.h"

#include "about/frmabout.h"
#include "buildinfo.h"
#include "output/htmldocument.h"
#include "output/showhtml.h"
#include "platform/clipboard.h"

#include <QLineEdit>

using namespace tintara;

void Tintara::HTMLBtn_Click()
{
    HtmlDocumentInput input;
    input.backgroundCode = m_ui.ColorCode[1]->text();
    input.textCode = m_ui.ColorCode[0]->text();
    input.solidBack = m_SolidBack;
    input.backFile = m_BackFile;
    input.homePage = QString::fromUtf8(build::kHomePage);
    m_GenHTML = htmlDocument(input);

    ShowHTML viewer(*m_services.files, m_TwipsPerPixel, this);
    viewer.Form_Load(m_GenHTML);
    viewer.exec();
}

void Tintara::genhtml_Click()
{
    HTMLBtn_Click();
}

void Tintara::copyf_Click()
{
    copyPlainText(m_ui.ColorCode[0]->text());
}

void Tintara::copyb_Click()
{
    copyPlainText(m_ui.ColorCode[1]->text());
}

void Tintara::About_Click()
{
    frmAbout about(m_services.openUrl, m_TwipsPerPixel, this);
    about.Form_Load();
    about.exec();
}
