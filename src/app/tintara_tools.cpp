#include "app/tintara.h"

#include "platform/canvas.h"
#include "platform/channelslider.h"

#include <QAction>
#include <QCheckBox>

using namespace tintara;

void Tintara::FAutoCK_Click() {}

void Tintara::fauto_Click() {}

void Tintara::Bright_Click(int) {}

void Tintara::LoadBGPic_Click() {}

void Tintara::LoadBackgroundPicture(const QString&) {}

void Tintara::SetBackgroundMode(bool solid)
{
    m_SolidBack = solid;
    if (solid) {
        m_ui.FAutoCK->setChecked(m_SavedAuto == 1);
        m_ui.FAutoCK->show();
        for (int i = 3; i < 6; ++i)
            m_ui.Slider1[i]->show();
        m_ui.bmpbg->setChecked(false);
        m_ui.BackBar->show();
    } else {
        m_SavedAuto = m_ui.FAutoCK->isChecked() ? 1 : 0;
        m_ui.FAutoCK->hide();
        m_ui.FAutoCK->setChecked(false);
        for (int i = 3; i < 6; ++i)
            m_ui.Slider1[i]->hide();
        m_ui.bmpbg->setChecked(true);
        m_ui.BackBar->hide();
    }
}

void Tintara::Picture1_DblClick() {}

void Tintara::bmpbg_Click() {}
