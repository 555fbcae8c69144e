#include "settings/window_placement.h"

#include "settings/settings_file.h"

#include <algorithm>
#include <QString>

namespace qly {

namespace {

const QString maximizeKey = QStringLiteral("Maximize");
const QString xKey = QStringLiteral("XPos");
const QString yKey = QStringLiteral("YPos");
const QString widthKey = QStringLiteral("Width");
const QString heightKey = QStringLiteral("Height");
const QString yes = QStringLiteral("Yes");
const QString no = QStringLiteral("No");

std::optional<int> numberAt(const SettingsFile& settings, const QString& section,
                            const QString& key)
{
    const std::optional<QString> text = settings.find(section, key);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int number = text->trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(number) : std::nullopt;
}

int sizeOrDefault(std::optional<int> saved, int largest, int fallback)
{
    return saved && *saved >= 1 && *saved <= largest ? *saved : fallback;
}

bool topEdgeOnAScreen(QPoint position, QSize size, const QList<QRect>& screens)
{
    const QRect topStrip(position, QSize(size.width(), placementGripHeight));
    const int needWidth = std::min(placementGripWidth, size.width());
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        const QRect onScreen = topStrip.intersected(screen);
        return onScreen.width() >= needWidth && onScreen.height() >= placementGripHeight;
    });
}

} // namespace

WindowPlacement readPlacement(const SettingsFile& settings, const QString& section,
                              const PlacementRules& rules)
{
    WindowPlacement placement;
    placement.maximized =
        settings.value(section, maximizeKey).trimmed().compare(yes, Qt::CaseInsensitive) == 0;

    placement.size = rules.defaultSize;
    if (rules.sizing == Sizing::Resizable) {
        QRect everyScreen;
        for (const QRect& screen : rules.screens)
            everyScreen = everyScreen.united(screen);
        placement.size = QSize(sizeOrDefault(numberAt(settings, section, widthKey),
                                             everyScreen.width(), rules.defaultSize.width()),
                               sizeOrDefault(numberAt(settings, section, heightKey),
                                             everyScreen.height(), rules.defaultSize.height()));
    }

    const std::optional<int> x = numberAt(settings, section, xKey);
    const std::optional<int> y = numberAt(settings, section, yKey);
    if (x && y && topEdgeOnAScreen(QPoint(*x, *y), placement.size, rules.screens))
        placement.position = QPoint(*x, *y);
    return placement;
}

void writePlacement(SettingsFile& settings, const QString& section, Sizing sizing,
                    const WindowPlacement& placement)
{
    settings.setValue(section, maximizeKey, placement.maximized ? yes : no);
    // A maximized window keeps the normal place it had before, ready for the next opening.
    if (placement.maximized)
        return;
    if (placement.position) {
        settings.setValue(section, xKey, QString::number(placement.position->x()));
        settings.setValue(section, yKey, QString::number(placement.position->y()));
    }
    if (sizing == Sizing::Resizable) {
        settings.setValue(section, widthKey, QString::number(placement.size.width()));
        settings.setValue(section, heightKey, QString::number(placement.size.height()));
    }
}

} // namespace qly
