#include "app/tintara.h"

#include "check/pictureanalysis.h"
#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/filechooser.h"
#include "tools/backgroundpicture.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QImageReader>
#include <QPushButton>

using namespace tintara;

void Tintara::connectTools()
{
    connect(m_ui.FAutoCK, &QCheckBox::toggled, this, &Tintara::FAutoCK_Click);
    connectInvertingItem(m_ui.fauto, &Tintara::fauto_Click);
    for (int i = 0; i < 4; ++i)
        connect(m_ui.Bright[i], &QPushButton::clicked, this, [this, i] { Bright_Click(i); });
    connect(m_ui.LoadBGPic, &QAction::triggered, this, &Tintara::LoadBGPic_Click);
    connectInvertingItem(m_ui.bmpbg, &Tintara::bmpbg_Click);
    connect(m_ui.Picture1, &Canvas::doubleClicked, this, &Tintara::Picture1_DblClick);
    connect(m_ui.Picture1, &Canvas::urlsDropped, this, &Tintara::Picture1_OLEDragDrop);
}

void Tintara::showAutomaticText()
{
    const bool on = m_model.automaticText();
    {
        const QSignalBlocker blocker(m_ui.FAutoCK);
        m_ui.FAutoCK->setChecked(on);
    }
    m_ui.fauto->setChecked(on);
    for (int i = 0; i < kBackFirst; ++i)
        m_ui.Slider1[i]->setEnabled(!on);
    m_ui.ForeBar->setVisible(!on);
}

void Tintara::showPictureMode()
{
    const bool solid = !m_model.pictureShown();
    m_ui.FAutoCK->setVisible(solid);
    for (int i = kBackFirst; i < kChannelCount; ++i)
        m_ui.Slider1[i]->setVisible(solid);
    m_ui.BackBar->setVisible(solid);
    m_ui.bmpbg->setEnabled(m_model.pictureLoaded());
    m_ui.bmpbg->setChecked(!solid);
}

void Tintara::FAutoCK_Click()
{
    m_model.setAutomaticText(m_ui.FAutoCK->isChecked());
    endStep();
}

void Tintara::fauto_Click()
{
    m_ui.FAutoCK->setChecked(!m_model.automaticText());
}

void Tintara::Bright_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    m_model.stepBrightness(Index < 2 ? Side::Text : Side::Background, Index % 2 == 0);
    endStep();
}

void Tintara::LoadBGPic_Click()
{
    OpenFileRequest request;
    request.nameFilters = pictureNameFilters(QImageReader::supportedImageFormats());
    LoadBackgroundPicture(m_services.files->chooseOpenFile(this, request));
}

void Tintara::LoadBackgroundPicture(const QString& path)
{
    const PictureFile file = readPicture(path);
    if (file.image.isNull()) {
        // Nothing changes, and the status line says why; a cancelled choice says nothing.
        if (!file.problem.isEmpty()) {
            m_checkNote = QStringLiteral("画像を読み込めません (%1): %2")
                              .arg(QFileInfo(path).fileName(), file.problem);
            showVerdict();
        }
        return;
    }
    const QImage& image = file.image;
    QPixmap picture = QPixmap::fromImage(image);
    if (picture.isNull())
        return;

    m_BackPicture = std::move(picture);
    // On Windows a backslash separates folders too; elsewhere it is part of a name.
    m_BackFile = QFileInfo(path).fileName();
    m_TileWidth = m_twips.toTwips(image.width());
    m_TileHeight = m_twips.toTwips(image.height());
    m_analysis->start(image, m_ui.Picture1->palette().color(QPalette::Window).rgb());
    m_model.loadPicture();
    endStep();
}

void Tintara::Picture1_DblClick()
{
    if (m_model.pictureLoaded())
        m_model.setPictureShown(!m_model.pictureShown());
    else
        DrawPreview();
    endStep();
}

void Tintara::Picture1_OLEDragDrop(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            LoadBackgroundPicture(url.toLocalFile());
            return;
        }
    }
}

void Tintara::openPicture(const QString& path)
{
    if (!path.isEmpty())
        Picture1_OLEDragDrop({QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())});
}

void Tintara::bmpbg_Click()
{
    Picture1_DblClick();
}
