#pragma once
// Help: the help file notes.hlp and the one window that shows it.
//
// notes.hlp is HTML with one named anchor per topic (<a name="keyword">); links between
// topics are ordinary "#keyword" links. It is installed beside the program, or in a folder the
// program names. ProcedureWindow opens it on F1 or a Help button at the keyword in force.
//
// The help window is a plain top-level window owned by the HelpBook: never modal, never a
// child of a procedure window, so it stays usable while any window or message box is open. A
// missing file or topic is told in the window itself.

#include <memory>
#include <QString>
#include <QWidget>

class QLabel;
class QTextBrowser;

namespace qly {

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    HelpWindow();

    // Loads filePath (unless already shown) and scrolls to keyword; an empty keyword shows the
    // top of the file.
    void showTopic(const QString& filePath, const QString& keyword);

    QTextBrowser* browser() const { return m_browser; }
    // What went wrong, above the text; hidden when all is well.
    QLabel* notice() const { return m_notice; }

private:
    QLabel* m_notice;
    QTextBrowser* m_browser;
};

class HelpBook
{
public:
    static constexpr const char* fileName = "notes.hlp";

    // folder: where notes.hlp is; empty means the folder of the program.
    explicit HelpBook(QString folder = QString());
    ~HelpBook();
    HelpBook(const HelpBook&) = delete;
    HelpBook& operator=(const HelpBook&) = delete;

    QString filePath() const;
    // Shows the help window at keyword, opening it on first use and raising it after.
    void show(const QString& keyword);
    // The help window, once shown.
    HelpWindow* window() const { return m_window.get(); }

private:
    QString m_folder;
    std::unique_ptr<HelpWindow> m_window;
};

} // namespace qly
