#include "resources/icons.h"

#include <QFile>
#include <QFileInfo>
#include <QSvgRenderer>

// Resources compiled into a static library are registered by hand, once, outside any namespace.
static void registerIcons()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(quillary);
        return true;
    }();
    (void)registered;
}

namespace qly {

QString iconPathFor(const QString& name)
{
    QString base = name.trimmed().toLower();
    if (base.startsWith(QLatin1Char('~')))
        base.remove(0, 1);
    if (base.endsWith(QLatin1String(".ico")))
        base.chop(4);
    return QStringLiteral(":/icons/%1.svg").arg(base);
}

QIcon iconFor(const QString& name)
{
    registerIcons();
    const QString path = iconPathFor(name);
    if (name.trimmed().isEmpty() || !QFile::exists(path))
        return QIcon();
    return QIcon(path);
}

QIcon programIcon()
{
    return iconFor(QStringLiteral("~pnotes.ico"));
}

QIcon checkMarkIcon()
{
    return iconFor(QStringLiteral("~mark.ico"));
}

QStringList iconNames()
{
    return {QStringLiteral("~pnotes.ico"),  QStringLiteral("~mark.ico"),
            QStringLiteral("insert3.ico"),  QStringLiteral("chg4.ico"),
            QStringLiteral("delete4.ico"),  QStringLiteral("close.ico"),
            QStringLiteral("padpencl.ico"), QStringLiteral("View.ico"),
            QStringLiteral("findit.ico"),   QStringLiteral("cal1.ico"),
            QStringLiteral("QkQBE.ico"),    QStringLiteral("QkLoad.ico"),
            QStringLiteral("printer.ico")};
}

bool paintPicture(QPainter& painter, const QString& name, const QRectF& rect)
{
    registerIcons();
    const QString path = QStringLiteral(":/pictures/%1.svg").arg(QFileInfo(name.trimmed().toLower()).completeBaseName());
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return false;
    renderer.render(&painter, rect);
    return true;
}

} // namespace qly
