#include "app/tintara.h"

#include "app/settingkeys.h"
#include "app/settingvalues.h"
#include "app/windowplacement.h"
#include "eyedropper/screencolorpicker.h"
#include "platform/settingsstore.h"
#include "platform/terminationsignals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

using namespace tintara;

namespace {

QList<QRect> availableScreens()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

void Tintara::connectSettings()
{
    // Ending the program by a signal or with the desktop session still writes the settings.
    connect(m_services.termination.get(), &TerminationRequests::requested, this,
            &Tintara::closeForTermination);
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, &Tintara::Form_QueryUnload);
#endif
}

QStringList Tintara::storedColorSetEntries() const
{
    QStringList entries;
    for (int i = 0;; ++i) {
        const QString entry =
            store().read(QLatin1String(keys::kColorList), keys::colorSetKey(i), QString());
        if (entry.isEmpty())
            return entries;
        entries << entry;
    }
}

void Tintara::loadSettings()
{
    for (const QString& entry : storedColorSetEntries())
        FillColorCombo(entry);

    for (int i = 0; i < kChannelCount; ++i) {
        const int fallback = i < kBackFirst ? 0 : kChannelMax;
        const QString text = keys::read(store(), keys::kChannels[i], QString::number(fallback));
        m_model.setChannel(i, settings::toChannel(text, fallback));
    }

    loadWindowPosition();

    m_model.setAutomaticText(
        settings::toCheckValue(keys::read(store(), keys::kAutomatic, QStringLiteral("0")), 0) == 1);
    if (settings::toTruth(keys::read(store(), keys::kWeb216, settings::fromTruth(true)), true))
        m_model.setWeb216(true);
    m_model.setAaaTarget(keys::read(store(), keys::kTarget, QStringLiteral("AA")) ==
                         QLatin1String("AAA"));
}

void Tintara::loadWindowPosition()
{
    // With nothing stored, or nothing usable, the window stays where the system places it; an
    // explicit move, even to where it already is, would stop the system from placing it.
    const float top = settings::toPosition(keys::read(store(), keys::kTop, QString()), qQNaN());
    const float left = settings::toPosition(keys::read(store(), keys::kLeft, QString()), qQNaN());
    if (qIsNaN(top) && qIsNaN(left))
        return;
    // The stored place is the client area's: before a window is shown, some systems place it by
    // its client area and others by its frame, but its geometry is its client area on every one.
    layout()->activate();
    QRect client = geometry();
    if (!qIsNaN(top))
        client.moveTop(m_twips.toPixels(top));
    if (!qIsNaN(left))
        client.moveLeft(m_twips.toPixels(left));
    // The frame is not known until the window is shown; until then the client area stands for it.
    const QList<QRect> screens = availableScreens();
    m_placeWhole = !titleBarReachable(client, screens);
    if (m_placeWhole)
        client.moveTopLeft(placedWholeOnNearestScreen(client, screens));
    setGeometry(client);
    m_checkPlacement = true;
}

void Tintara::keepTitleBarReachable()
{
    const QRect frame = frameGeometry();
    const QList<QRect> screens = availableScreens();
    if (m_placeWhole || !titleBarReachable(frame, screens))
        move(placedWholeOnNearestScreen(frame, screens));
}

QPoint Tintara::restoredPosition() const
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return normalGeometry().topLeft();
    return geometry().topLeft();
}

void Tintara::Form_QueryUnload()
{
    // The list of sets is merged into the store as it is now; everything else is this window's.
    store().reload();
    // Where the platform cannot tell the window's place, it reads as the screen's corner: the
    // place stored stays.
    if (*m_services.windowPositionKnown) {
        const QPoint position = restoredPosition();
        keys::write(store(), keys::kTop,
                    settings::fromNumber(m_twips.toTwips(double(position.y()))));
        keys::write(store(), keys::kLeft,
                    settings::fromNumber(m_twips.toTwips(double(position.x()))));
    }
    // While the picture background hides the check box, the switch is kept aside, not off.
    const bool automatic =
        m_model.pictureShown() ? m_model.automaticKeptAside() : m_model.automaticText();
    keys::write(store(), keys::kAutomatic, automatic ? QStringLiteral("1") : QStringLiteral("0"));
    keys::write(store(), keys::kWeb216, settings::fromTruth(m_model.web216()));
    for (int i = 0; i < kChannelCount; ++i)
        keys::write(store(), keys::kChannels[i], QString::number(m_model.channel(i)));
    writeColorSets();
    if (!commitSettings())
        qWarning("Tintara: the settings could not be saved to %s: %s",
                 qUtf8Printable(m_settingsProblem), qUtf8Printable(m_settingsReason));
}

void Tintara::writeColorSets()
{
    QList<ColorSetEntry> stored;
    for (const QString& entry : storedColorSetEntries()) {
        if (const auto set = parseColorSetEntry(entry))
            stored << *set;
    }
    const QList<ColorSetEntry> sets = mergedColorSets(stored, m_setChanges);
    const QString section = QLatin1String(keys::kColorList);
    for (int i = 0; i < sets.size(); ++i)
        store().write(section, keys::colorSetKey(i), colorSetEntry(sets[i].name, sets[i].pair));
    store().write(section, keys::colorSetKey(int(sets.size())), QString());
}

bool Tintara::commitSettings()
{
    QString where;
    QString why;
    if (!store().commit(&where, &why)) {
        m_settingsProblem = where;
        m_settingsReason = why;
        return false;
    }
    m_settingsProblem.clear();
    m_settingsReason.clear();
    // Written: the changes are in the list the store holds.
    m_setChanges.clear();
    return true;
}

void Tintara::warnSettingsProblem()
{
    QMessageBox::warning(this, QStringLiteral("Tintara"),
                         QStringLiteral("設定を保存できませんでした: %1\n%2")
                             .arg(m_settingsReason, m_settingsProblem));
}

void Tintara::closeEvent(QCloseEvent* event)
{
    // A pick still going on ends as if cancelled: its frozen screens would keep the program
    // running with no window.
    m_services.screenPicker->cancel();
    Form_QueryUnload();
    // A signal may come with nobody at the screen; the user who closed the window is there.
    if (!m_settingsProblem.isEmpty() && !m_terminating)
        warnSettingsProblem();
    event->accept();
}

void Tintara::closeForTermination()
{
    // Dialogs open over the window go first, as if cancelled, so that the program can end.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QWidget* owner = window->parentWidget();
        while (owner && owner != this)
            owner = owner->parentWidget();
        if (owner && window->isVisible())
            window->close();
    }
    m_terminating = true;
    close();
}
