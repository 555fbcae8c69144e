#include "windows/edit/open_document.h"

#include "core/fixed_text.h"

#include <QDesktopServices>
#include <QDir>
#include <QRegularExpression>

namespace qly {

void DesktopDocumentOpener::openUrl(const QUrl& url)
{
    (void)QDesktopServices::openUrl(url); // the desktop reports its own failures
}

QUrl documentUrl(const QString& text)
{
    const QString target = fitText(withoutTrailingBlanks(text), documentTextLimit);
    if (target.isEmpty())
        return {};
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(target).hasMatch())
        return QUrl(target, QUrl::TolerantMode);
    return QUrl::fromUserInput(target, QDir::currentPath());
}

void openDocument(DocumentOpener& opener, const QString& text)
{
    opener.openUrl(documentUrl(text));
}

} // namespace qly
