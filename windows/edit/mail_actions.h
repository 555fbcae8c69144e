#pragma once
// What the note form's "Send Mail" and "GoToURL" hand to the desktop.
//
// The mail link is "mailto:" + the note's address + "?subject=" + its topic. The address and
// the topic are percent-encoded wherever a character would change what the link means (a blank,
// "&", "#", "?", "%", "+", "=", anything beyond ASCII), so that the mail program shows exactly
// the topic as the subject; a topic too long for the 255 characters a link may have is cut at a
// whole character. The web link is the note's address as typed. The clipboard gets the memo as
// the note holds it, without the blanks that pad its field.

#include <QString>

namespace qly {

class DocumentOpener;
class NoteRecord;

// "Send Mail": the mail link with the subject.
QString mailLink(const NoteRecord& note);
// The hot area over "Send Mail": the link without a subject.
QString mailAddressLink(const NoteRecord& note);
// "GoToURL".
QString webLink(const NoteRecord& note);
// What "Send Mail" leaves on the clipboard.
QString clipboardText(const NoteRecord& note);

inline constexpr const char* kSendMailNotice =
    "The clipboard will contain the body of the memo if you wish to paste it into the email.";

} // namespace qly
