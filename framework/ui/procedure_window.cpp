#include "ui/procedure_window.h"

#include "core/procedure.h"
#include "core/thread.h"
#include "settings/settings_file.h"
#include "ui/help_window.h"
#include "ui/resizer.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

namespace qly {

namespace {

QList<ProcedureWindow*>& everyWindow()
{
    static QList<ProcedureWindow*> windows;
    return windows;
}

const ScreenSource& systemScreens()
{
    static const SystemScreens screens;
    return screens;
}

} // namespace

ProcedureWindow::ProcedureWindow(const WindowServices& services, Thread& thread, QString procedure,
                                 Request request, QWidget* caller, QSize design, Sizing sizing)
    : QDialog(caller ? caller->window() : nullptr), m_services(services), m_thread(&thread),
      m_procedure(std::move(procedure)), m_request(request), m_sizing(sizing),
      m_body(new QWidget(this)), m_resizer(new Resizer(design, m_body)),
      m_statusLine(new QStatusBar(this))
{
    everyWindow().append(this);
    setObjectName(m_procedure);
    m_statusLine->setSizeGripEnabled(sizing == Sizing::Resizable);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_body, 1);
    layout->addWidget(m_statusLine);
    if (sizing == Sizing::Fixed)
        layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &ProcedureWindow::showHelp);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this,
                           [this](QWidget*, QWidget* now) { onFocusChanged(now); });
}

ProcedureWindow::~ProcedureWindow()
{
    // The focus moves while the controls are destroyed, when this is no longer a ProcedureWindow.
    disconnect(m_focusWatch);
    end(); // deleted while open: its caller went away
    everyWindow().removeAll(this);
}

void ProcedureWindow::addToBody(QWidget* control, QRect design)
{
    m_resizer->addControl(control, design);
}

void ProcedureWindow::closeWith(QAbstractButton* button, Response response)
{
    connect(button, &QAbstractButton::clicked, this, [this, response] { finish(response); });
}

void ProcedureWindow::helpFrom(QAbstractButton* button)
{
    m_helpButtons.append(button);
    connect(button, &QAbstractButton::clicked, this, &ProcedureWindow::showHelp);
}

void ProcedureWindow::setHelpKeyword(const QString& keyword)
{
    qly::setHelpKeyword(this, keyword);
}

QString ProcedureWindow::helpKeywordInForce() const
{
    // The last control focused here: a Help button clicked takes the focus, not the topic.
    return helpKeywordOf(m_lastFocus ? m_lastFocus.data() : this);
}

void ProcedureWindow::showHelp()
{
    if (m_services.help)
        m_services.help->show(helpKeywordInForce());
}

void ProcedureWindow::onFocusChanged(QWidget* now)
{
    if (!now || now->window() != this)
        return;
    for (const QAbstractButton* button : m_helpButtons) {
        if (button == now)
            return;
    }
    m_lastFocus = now;
    const QString text = statusTextOf(now);
    if (text.isEmpty())
        m_statusLine->clearMessage();
    else
        m_statusLine->showMessage(text);
}

void ProcedureWindow::start()
{
    if (m_state != State::Created)
        return;
    m_state = State::Running;
    m_thread->pushProcedure(m_procedure);
    setWindowModality(parentWidget() ? Qt::WindowModal : Qt::NonModal);
    restorePlacement();
}

void ProcedureWindow::restorePlacement()
{
    ensurePolished();
    layout()->activate();
    const ScreenSource& screens = m_services.screens ? *m_services.screens : systemScreens();
    const PlacementRules rules{m_sizing, sizeHint(), screens.availableGeometries()};
    const WindowPlacement placement = m_services.settings
                                          ? readPlacement(*m_services.settings, m_procedure, rules)
                                          : WindowPlacement{false, std::nullopt, rules.defaultSize};
    if (m_sizing == Sizing::Resizable)
        resize(placement.size);
    if (placement.position)
        move(*placement.position);
    if (placement.maximized)
        showMaximized();
    else
        show();
}

void ProcedureWindow::finish(Response response)
{
    m_response = response;
    done(response == Response::Completed ? QDialog::Accepted : QDialog::Rejected);
}

void ProcedureWindow::accept()
{
    finish(Response::Completed);
}

void ProcedureWindow::reject()
{
    finish(Response::Cancelled);
}

void ProcedureWindow::done(int result)
{
    end();
    QDialog::done(result);
}

void ProcedureWindow::end()
{
    if (m_state != State::Running)
        return;
    m_state = State::Ended;
    if (m_services.settings)
        writePlacement(*m_services.settings, m_procedure, m_sizing, {isMaximized(), pos(), size()});
    m_thread->popProcedure();
}

QList<ProcedureWindow*> ProcedureWindow::runningWindows()
{
    QList<ProcedureWindow*> running;
    for (ProcedureWindow* window : everyWindow()) {
        if (window->isRunning())
            running.append(window);
    }
    return running;
}

QCoro::Task<Response> runWindow(QPointer<ProcedureWindow> window)
{
    if (!window)
        co_return Response::Cancelled;
    window->start();
    if (window->isRunning()) {
        const bool closed = co_await awaitSignal(window.data(), &QDialog::finished);
        if (!closed || !window)
            co_return Response::Cancelled;
    }
    co_return window->response();
}

} // namespace qly
