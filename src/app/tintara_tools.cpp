#include "app/tintara.h"

#include "platform/canvas.h"
#include "platform/channelslider.h"
#include "platform/filechooser.h"
#include "tools/autoforeground.h"
#include "tools/backgroundpicture.h"
#include "tools/brightness.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
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

void Tintara::FAutoCK_Click()
{
    const StepScope oneStep(*this, true);
    const bool on = m_ui.FAutoCK->isChecked();
    if (on) {
        m_SaveFR = FC(0);
        m_SaveFG = FC(1);
        m_SaveFB = FC(2);
        for (int i = 0; i < kBackFirst; ++i)
            m_ui.Slider1[i]->setValue(automaticForeground(BC(i)));
    } else {
        m_ui.Slider1[0]->setValue(m_SaveFR);
        m_ui.Slider1[1]->setValue(m_SaveFG);
        m_ui.Slider1[2]->setValue(m_SaveFB);
    }
    for (int i = 0; i < kBackFirst; ++i)
        m_ui.Slider1[i]->setEnabled(!on);
    m_ui.fauto->setChecked(on);
    m_ui.ForeBar->setVisible(!on);
    DrawPreview();
    // The restored colour comes back as it was, also in web-safe mode; its bar, hidden while the
    // colour was automatic and perhaps drawn meanwhile for another, is drawn for it.
    if (!on)
        DrawColorBar(true);
}

void Tintara::fauto_Click()
{
    m_ui.fauto->setChecked(!m_ui.fauto->isChecked());
    m_ui.FAutoCK->setChecked(m_ui.fauto->isChecked());
}

void Tintara::Bright_Click(int Index)
{
    if (Index < 0 || Index > 3)
        return;
    const bool fore = Index < 2;
    const int first = fore ? 0 : kBackFirst;
    const Rgb colour{m_ui.Slider1[first]->value(), m_ui.Slider1[first + 1]->value(),
                     m_ui.Slider1[first + 2]->value()};
    const std::optional<Rgb> stepped = steppedBrightness(colour, Index % 2 == 0, m_Web216);
    if (!stepped)
        return;
    for (int k = 0; k < 3; ++k)
        m_ui.Slider1[first + k]->setValue((*stepped)[k]);
    DrawColorBar(fore);
    DrawPreview();
}

void Tintara::LoadBGPic_Click()
{
    OpenFileRequest request;
    request.nameFilters = pictureNameFilters(QImageReader::supportedImageFormats());
    LoadBackgroundPicture(m_services.files->chooseOpenFile(this, request));
}

void Tintara::LoadBackgroundPicture(const QString& path)
{
    const QImage image = readPicture(path).image;
    if (image.isNull())
        return;
    QPixmap picture = QPixmap::fromImage(image);
    if (picture.isNull())
        return;

    m_BackPicture = std::move(picture);
    m_BackFile = ExtractFileName(path);
    m_ui.bmpbg->setEnabled(true);
    m_ui.bmpbg->setChecked(true);
    m_TileWidth = m_twips.toTwips(image.width());
    m_TileHeight = m_twips.toTwips(image.height());
    SetBackgroundMode(false);
    DrawPreview();
}

QString Tintara::ExtractFileName(const QString& path)
{
    return extractFileName(path);
}

void Tintara::SetBackgroundMode(bool solid)
{
    m_SolidBack = solid;
    if (solid) {
        m_ui.FAutoCK->setChecked(m_SavedAuto == 1);
        m_ui.FAutoCK->show();
        for (int i = kBackFirst; i < kSliderCount; ++i)
            m_ui.Slider1[i]->show();
        m_ui.bmpbg->setChecked(false);
        m_ui.BackBar->show();
    } else {
        m_SavedAuto = m_ui.FAutoCK->isChecked() ? 1 : 0;
        m_ui.FAutoCK->hide();
        m_ui.FAutoCK->setChecked(false);
        for (int i = kBackFirst; i < kSliderCount; ++i)
            m_ui.Slider1[i]->hide();
        m_ui.bmpbg->setChecked(true);
        m_ui.BackBar->hide();
    }
}

void Tintara::Picture1_DblClick()
{
    if (!m_BackPicture.isNull())
        SetBackgroundMode(!m_SolidBack);
    DrawPreview();
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
    m_ui.bmpbg->setChecked(!m_ui.bmpbg->isChecked());
    Picture1_DblClick();
}
