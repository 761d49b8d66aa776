#include "app/tintara.h"

#include "about/frmabout.h"
#include "buildinfo.h"
#include "output/htmldocument.h"
#include "output/showhtml.h"
#include "platform/clipboard.h"
#include "preview/colorcode.h"

#include <QAction>
#include <QPushButton>

using namespace tintara;

void Tintara::connectOutput()
{
    connect(m_ui.HTMLBtn, &QPushButton::clicked, this, &Tintara::HTMLBtn_Click);
    connect(m_ui.genhtml, &QAction::triggered, this, &Tintara::genhtml_Click);
    connect(m_ui.copyf, &QAction::triggered, this, &Tintara::copyf_Click);
    connect(m_ui.copyb, &QAction::triggered, this, &Tintara::copyb_Click);
    connect(m_ui.About, &QAction::triggered, this, &Tintara::About_Click);
}

void Tintara::HTMLBtn_Click()
{
    HtmlDocumentInput input;
    // The codes of the colours shown: a box may hold text that is no colour at all.
    input.backgroundCode = colorCode(m_model.background());
    input.textCode = colorCode(m_model.text());
    input.solidBack = !m_model.pictureShown();
    input.backFile = m_BackFile;
    input.homePage = QString::fromUtf8(build::kHomePage);
    m_GenHTML = htmlDocument(input);

    ShowHTML viewer(*m_services.files, m_twips, this);
    viewer.Form_Load(m_GenHTML);
    viewer.exec();
}

void Tintara::genhtml_Click()
{
    HTMLBtn_Click();
}

void Tintara::copyf_Click()
{
    copyPlainText(colorCode(m_model.text()));
}

void Tintara::copyb_Click()
{
    copyPlainText(colorCode(m_model.background()));
}

void Tintara::About_Click()
{
    frmAbout about(m_services.openUrl, m_twips, this);
    about.Form_Load();
    about.exec();
}
