#include "ui/screens.h"

#include <QGuiApplication>
#include <QScreen>

namespace qly {

QList<QRect> SystemScreens::availableGeometries() const
{
    QList<QRect> geometries;
    for (const QScreen* screen : QGuiApplication::screens())
        geometries.append(screen->availableGeometry());
    return geometries;
}

} // namespace qly
