#include "ui/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace qly {

namespace {

bool hasAnchor(const QTextDocument& document, const QString& name)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().anchorNames().contains(name))
                return true;
        }
    }
    return false;
}

} // namespace

HelpWindow::HelpWindow() : m_notice(new QLabel(this)), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("?HELP"));
    setWindowTitle(tr("Quillary Help"));
    m_notice->setObjectName(QStringLiteral("?HELP:NOTICE"));
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->hide();
    m_browser->setObjectName(QStringLiteral("?HELP:TEXT"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_notice);
    layout->addWidget(m_browser, 1);
    resize(560, 480);
}

void HelpWindow::showTopic(const QString& filePath, const QString& keyword)
{
    const QFileInfo file(filePath);
    if (!file.isFile() || !file.isReadable()) {
        m_browser->setSource(QUrl());
        m_browser->clear();
        m_notice->setText(tr("The help file %1 cannot be opened, so no help can be shown.")
                              .arg(QDir::toNativeSeparators(filePath)));
        m_notice->show();
        return;
    }

    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (m_browser->source() != url)
        m_browser->setSource(url, QTextDocument::HtmlResource);

    if (keyword.isEmpty() || hasAnchor(*m_browser->document(), keyword)) {
        m_notice->hide();
        if (keyword.isEmpty())
            m_browser->moveCursor(QTextCursor::Start);
        else
            m_browser->scrollToAnchor(keyword);
        return;
    }
    m_notice->setText(tr("The help file has no topic \u201c%1\u201d; its contents are shown "
                         "from the start.")
                          .arg(keyword));
    m_notice->show();
    m_browser->moveCursor(QTextCursor::Start);
}

HelpBook::HelpBook(QString folder) : m_folder(std::move(folder)) {}

HelpBook::~HelpBook() = default;

QString HelpBook::filePath() const
{
    const QString folder = m_folder.isEmpty() ? QCoreApplication::applicationDirPath() : m_folder;
    return QDir(folder).filePath(QString::fromLatin1(fileName));
}

void HelpBook::show(const QString& keyword)
{
    if (!m_window)
        m_window = std::make_unique<HelpWindow>();
    m_window->show();
    m_window->showTopic(filePath(), keyword);
    m_window->raise();
    m_window->activateWindow();
}

} // namespace qly
