#pragma once
// Making the controls of a window. Every control is named as in the window's layout ("?OK",
// "?SNO:TOPIC"): that name is its objectName, by which code and tests find it. A control may
// carry a tool tip, a status text (shown in its window's status line while it has the focus)
// and a help keyword (the topic F1 opens while it has the focus).
//
//   auto* ok = makeControl<QPushButton>(body, {.name = "?OK", .text = "&OK",
//                                              .statusText = "Keep the note"});

#include <QString>

class QWidget;

namespace qly {

struct ControlText
{
    QString name = {};
    QString text = {}; // the caption of a button, label or group box; nothing for other controls
    QString toolTip = {};
    QString statusText = {};
    QString helpKeyword = {};
};

// Sets everything in info but the text.
void describeControl(QWidget* control, const ControlText& info);

template <class Control> Control* makeControl(QWidget* parent, const ControlText& info)
{
    auto* control = new Control(parent);
    describeControl(control, info);
    if constexpr (requires { control->setText(info.text); })
        control->setText(info.text);
    else if constexpr (requires { control->setTitle(info.text); })
        control->setTitle(info.text);
    return control;
}

void setHelpKeyword(QWidget* widget, const QString& keyword);
// The nearest non-empty help keyword from widget up to its window, or empty.
QString helpKeywordOf(const QWidget* widget);
// The nearest non-empty status text from widget up to its window, or empty.
QString statusTextOf(const QWidget* widget);

} // namespace qly
