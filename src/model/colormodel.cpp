#include "model/colormodel.h"

#include "preview/web216.h"
#include "tools/autoforeground.h"
#include "tools/brightness.h"

namespace tintara {

namespace {

int firstOf(Side side)
{
    return side == Side::Text ? 0 : kBackFirst;
}

ColorModel::Changes barOf(Side side)
{
    return side == Side::Text ? ColorModel::TextBar : ColorModel::BackBar;
}

} // namespace

ColorModel::ColorModel(QObject* parent)
    : QObject(parent)
{
}

Rgb ColorModel::text() const
{
    const Channels& c = m_state.channels;
    return {c[0], c[1], c[2]};
}

Rgb ColorModel::background() const
{
    const Channels& c = m_state.channels;
    return {c[3], c[4], c[5]};
}

void ColorModel::announce(Changes what)
{
    if (what)
        emit changed(what);
}

void ColorModel::setChannel(int index, int value)
{
    if (m_state.channels[index] == value)
        return;
    m_state.channels[index] = value;
    announce(Value);
}

ColorModel::Changes ColorModel::movement(int index)
{
    Channels& c = m_state.channels;
    const Channels before = c;
    if (m_web216)
        c[index] = roundToWebSafe(c[index]);
    if (m_automatic && index >= kBackFirst)
        c[index - kBackFirst] = automaticForeground(c[index]);
    // The preview follows every movement, also one the rules undid.
    return Colors | (c != before ? Value : Changes());
}

void ColorModel::moveChannel(int index, int value)
{
    const bool moved = m_state.channels[index] != value;
    m_state.channels[index] = value;
    announce(movement(index) | (moved ? Value : Changes()));
}

void ColorModel::pickOnBar(Side side, int row, int value)
{
    if (row < 0 || row > 2)
        return;
    const int index = firstOf(side) + row;
    Changes changes;
    if (value >= 0 && value <= kChannelMax && m_state.channels[index] != value) {
        m_state.channels[index] = value;
        changes |= Value;
    }
    announce(changes | movement(index));
}

ColorModel::Changes ColorModel::setColor(Side side, Rgb color, bool round)
{
    const int first = firstOf(side);
    for (int k = 0; k < 3; ++k)
        m_state.channels[first + k] = round && m_web216 ? roundToWebSafe(color[k]) : color[k];
    return Value | Colors | barOf(side);
}

void ColorModel::typeColor(Side side, Rgb color)
{
    announce(setColor(side, color, true));
}

void ColorModel::chooseSet(const std::optional<Rgb>& text, const std::optional<Rgb>& background)
{
    Changes changes;
    if (text)
        changes |= setColor(Side::Text, *text, true);
    if (background)
        changes |= setColor(Side::Background, *background, true);
    announce(changes);
}

void ColorModel::swapColors()
{
    chooseSet(background(), text());
}

void ColorModel::stepBrightness(Side side, bool lighter)
{
    if (const auto stepped = steppedBrightness(color(side), lighter, m_web216))
        announce(setColor(side, *stepped, false));
}

void ColorModel::takeFromScreen(Side side, Rgb color)
{
    Changes changes = setColor(side, color, false);
    for (int k = 0; k < 3; ++k)
        changes |= movement(firstOf(side) + k);
    announce(changes);
}

void ColorModel::restore(const ColorState& state)
{
    m_state = state;
    announce(Value | Colors | TextBar | BackBar);
}

void ColorModel::setWeb216(bool on)
{
    m_web216 = on;
    Changes changes = Web216 | Colors | TextBar | BackBar;
    if (on) {
        for (int i = 0; i < kChannelCount; ++i)
            changes |= movement(i);
    }
    announce(changes);
}

ColorModel::Changes ColorModel::switchAutomatic(bool on)
{
    if (on == m_automatic)
        return {};
    m_automatic = on;
    Channels& c = m_state.channels;
    if (on) {
        m_savedText = text();
        for (int i = 0; i < kBackFirst; ++i)
            c[i] = automaticForeground(c[i + kBackFirst]);
        return Automatic | Value | Colors;
    }
    for (int i = 0; i < kBackFirst; ++i)
        c[i] = m_savedText[i];
    // Its bar, hidden while the colour was automatic, shows it again.
    return Automatic | Value | Colors | TextBar;
}

void ColorModel::setAutomaticText(bool on)
{
    announce(switchAutomatic(on));
}

ColorModel::Changes ColorModel::showPicture(bool shown)
{
    if (shown) {
        // Taken at every switch to the picture, also while one shows: it is off then.
        m_automaticAside = m_automatic;
        const Changes changes = switchAutomatic(false);
        m_pictureShown = true;
        return changes | Picture | Colors;
    }
    m_pictureShown = false;
    return Picture | Colors | switchAutomatic(m_automaticAside);
}

void ColorModel::loadPicture()
{
    m_pictureLoaded = true;
    announce(showPicture(true));
}

void ColorModel::setPictureShown(bool shown)
{
    if (m_pictureLoaded)
        announce(showPicture(shown));
}

void ColorModel::setVision(tintara::Vision vision)
{
    if (vision == m_vision)
        return;
    m_vision = vision;
    announce(Vision);
}

void ColorModel::setAaaTarget(bool on)
{
    if (on == m_aaa)
        return;
    m_aaa = on;
    announce(Target);
}

} // namespace tintara
