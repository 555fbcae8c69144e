#include "windows/edit/mail_actions.h"

#include "data/note_record.h"
#include "windows/edit/open_document.h"

#include <QUrl>

namespace qly {

namespace {

// Every character but the unreserved ones (and those in keep) as %XX of its UTF-8 bytes.
QString encoded(const QString& text, const QByteArray& keep = {})
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

} // namespace

QString mailAddressLink(const NoteRecord& note)
{
    return QStringLiteral("mailto:") + encoded(note.emailAddress(), "@");
}

QString mailLink(const NoteRecord& note)
{
    QString link = mailAddressLink(note) + QStringLiteral("?subject=");
    // Whole characters only, so that the link never ends in half an escape.
    const QString topic = note.topic();
    for (qsizetype i = 0; i < topic.size();) {
        const qsizetype length = topic.at(i).isHighSurrogate() && i + 1 < topic.size() ? 2 : 1;
        const QString piece = encoded(topic.mid(i, length));
        if (link.size() + piece.size() > documentTextLimit)
            break;
        link += piece;
        i += length;
    }
    return link;
}

QString webLink(const NoteRecord& note)
{
    return note.url();
}

QString clipboardText(const NoteRecord& note)
{
    return note.mainMemo();
}

} // namespace qly
