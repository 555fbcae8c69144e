#pragma once
// Handing a text to the desktop to open: a "mailto:" link opens a new message in the mail
// program, a web address the browser, a file or folder path the program the desktop has for it.
//
// The text loses its trailing blanks and is cut to its first 255 characters. A text with a
// scheme ("mailto:", "https:") is taken as it stands; any other is handed on unchanged as well,
// and the desktop decides: an existing path opens as that file, anything else as the address it
// looks like. Nothing is reported when the desktop cannot open it: it may say so itself.

#include <QString>
#include <QUrl>

namespace qly {

class DocumentOpener
{
public:
    virtual ~DocumentOpener() = default;
    virtual void openUrl(const QUrl& url) = 0;
};

// The desktop's: QDesktopServices.
class DesktopDocumentOpener final : public DocumentOpener
{
public:
    void openUrl(const QUrl& url) override;
};

inline constexpr int documentTextLimit = 255;

// What the text becomes for the desktop; an empty URL for an empty text.
QUrl documentUrl(const QString& text);

// Opens text through opener; the answer is not looked at.
void openDocument(DocumentOpener& opener, const QString& text);

} // namespace qly
