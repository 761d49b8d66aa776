#pragma once

#include "check/vision.h"
#include "color/rgb.h"

#include <QObject>
#include <array>
#include <optional>

namespace tintara {

// The six channels, in order: text red, green, blue, then background red, green, blue. A text
// channel i pairs with background channel i + kBackFirst of the same primary.
inline constexpr int kChannelCount = 6;
inline constexpr int kBackFirst = 3;
using Channels = std::array<int, kChannelCount>;

enum class Side { Text, Background };

// What undo records: the colours. The modes are not part of it, so undoing never switches one.
struct ColorState
{
    Channels channels{0, 0, 0, kChannelMax, kChannelMax, kChannelMax};
    friend bool operator==(const ColorState& a, const ColorState& b)
    {
        return a.channels == b.channels;
    }
    friend bool operator!=(const ColorState& a, const ColorState& b) { return !(a == b); }
};

// The two colours and the modes that rule them. Every action of the user is one operation here,
// which applies the rules of the modes and then announces once what changed; the controls, the
// preview and the status line only show it.
class ColorModel : public QObject
{
    Q_OBJECT
public:
    enum Change : unsigned {
        // A channel's value, set from code: only the sliders and their labels follow.
        Value = 1u << 0,
        // The colours as shown: the preview, the codes and the verdict follow.
        Colors = 1u << 1,
        // The bar of a colour is to be drawn again; it is not on every change of its colour.
        TextBar = 1u << 2,
        BackBar = 1u << 3,
        Web216 = 1u << 4,
        Automatic = 1u << 5,
        Picture = 1u << 6,
        Vision = 1u << 7,
        Target = 1u << 8,
    };
    Q_DECLARE_FLAGS(Changes, Change)

    explicit ColorModel(QObject* parent = nullptr);

    int channel(int index) const { return m_state.channels[index]; }
    const Channels& channels() const { return m_state.channels; }
    Rgb text() const;
    Rgb background() const;
    Rgb color(Side side) const { return side == Side::Text ? text() : background(); }
    const ColorState& state() const { return m_state; }
    bool web216() const { return m_web216; }
    bool automaticText() const { return m_automatic; }
    bool pictureLoaded() const { return m_pictureLoaded; }
    bool pictureShown() const { return m_pictureShown; }
    // The automatic text colour's switch, kept aside while a picture hides it.
    bool automaticKeptAside() const { return m_automaticAside; }
    tintara::Vision vision() const { return m_vision; }
    bool aaaTarget() const { return m_aaa; }

    // A value set from code: no rule applies and nothing is drawn.
    void setChannel(int index, int value);
    // The user's own movement of a channel to a value: rounded in web-safe mode, and a background
    // channel decides its text channel while the text colour is automatic.
    void moveChannel(int index, int value);
    // A press or drag on a colour bar, at a row and a value; off the bar's ends the channel keeps
    // its value and the movement's rules still apply, off its rows nothing happens.
    void pickOnBar(Side side, int row, int value);
    // A colour code typed, or a colour applied as one is: rounded in web-safe mode, with no other
    // rule. Its bar is drawn again.
    void typeColor(Side side, Rgb color);
    // A colour set: the text colour, then the background, each as typed, in one change.
    void chooseSet(const std::optional<Rgb>& text, const std::optional<Rgb>& background);
    // The two colours change places, each rounded as a set's colours are.
    void swapColors();
    // One brightness step of all three channels, or nothing when one would leave 0..255.
    void stepBrightness(Side side, bool lighter);
    // A colour taken from the screen, as the sliders would take it.
    void takeFromScreen(Side side, Rgb color);
    // Exactly these colours, whatever the modes.
    void restore(const ColorState& state);

    // Switched on, web-safe mode rounds every channel as a movement would, in order.
    void setWeb216(bool on);
    // On, the text colour is kept aside and follows the background; off, it comes back.
    void setAutomaticText(bool on);
    // A picture has been loaded: it is shown.
    void loadPicture();
    // The picture instead of the background colour, or back; nothing without a picture. While
    // the picture shows, the automatic text colour is off and its switch kept aside.
    void setPictureShown(bool shown);
    void setVision(tintara::Vision vision);
    void setAaaTarget(bool on);

signals:
    void changed(tintara::ColorModel::Changes what);

private:
    // The parts of the operations; each says what it changed, and the operation announces it.
    Changes movement(int index);
    Changes setColor(Side side, Rgb color, bool round);
    Changes switchAutomatic(bool on);
    Changes showPicture(bool shown);
    void announce(Changes what);

    ColorState m_state;
    bool m_web216 = false;
    bool m_automatic = false;
    Rgb m_savedText{};
    bool m_pictureLoaded = false;
    bool m_pictureShown = false;
    bool m_automaticAside = false;
    tintara::Vision m_vision = tintara::Vision::Normal;
    bool m_aaa = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ColorModel::Changes)

} // namespace tintara
