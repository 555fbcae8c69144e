#pragma once
// The icons linked into the program, by the file names the windows are laid out with:
// "~pnotes.ico" (the program icon), "~mark.ico" (the check mark before a due reminder) and the
// button icons "insert3.ico", "chg4.ico", "delete4.ico", "close.ico", "padpencl.ico",
// "View.ico", "findit.ico", "cal1.ico", "QkQBE.ico", "QkLoad.ico" and "printer.ico" (the
// large and the small printer buttons).
//
// Each is an SVG drawing in resources/icons, under ":/icons/<name>.svg" with the name in lower
// case and without the leading "~" (which only marks the icons code sets at run time) or the
// ".ico" ending. Lookups ignore case and take the name with or without those. An unknown name
// gives a null icon.

#include <QIcon>
#include <QRectF>

class QPainter;
#include <QString>
#include <QStringList>

namespace qly {

// The program icon, "~pnotes.ico": every window's title-bar icon.
QIcon programIcon();
// The check mark, "~mark.ico".
QIcon checkMarkIcon();
QIcon iconFor(const QString& name);
// The resource path name maps to (whether or not the icon exists).
QString iconPathFor(const QString& name);
// Every icon name the windows use, as they are laid out.
QStringList iconNames();

// A picture drawn over a window's background, by its layout name ("notepad.bmp": the note
// form's ruled paper), painted into rect; false when there is no such picture.
bool paintPicture(QPainter& painter, const QString& name, const QRectF& rect);

} // namespace qly
