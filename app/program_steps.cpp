#include "app/program_steps.h"

#include "app/first_window.h"
#include "core/thread.h"
#include "data/note_managers.h"
#include "errors/builtin_messages.h"
#include "errors/error_manager.h"
#include "settings/settings_file.h"
#include "ui/help_window.h"
#include "ui/procedure_window.h"
#include "ui/qt_message_presenter.h"
#include "ui/screens.h"
#include "ui/shutdown.h"

namespace qly {

ProgramSteps::ProgramSteps(Thread& mainThread) : m_thread(mainThread) {}

ProgramSteps::~ProgramSteps() = default;

void ProgramSteps::nameHelpFile(const QString& fileName)
{
    // Only the name is recorded; the help book finds it beside the program when asked.
    m_helpFileName = fileName;
    m_help = std::make_unique<HelpBook>();
}

void ProgramSteps::initErrorManager()
{
    m_presenter = std::make_unique<QtMessagePresenter>();
    m_errors = std::make_unique<ErrorManager>(*m_presenter);
    m_errors->addRows(builtinMessages());
    m_errors->setCategory(builtinCategory());
}

void ProgramSteps::setUpTableManagers()
{
    setUpNoteManagers(*m_errors);
}

void ProgramSteps::openSettings(const QString& fileName)
{
    m_settings = std::make_unique<SettingsFile>();
    m_settings->open(fileName); // a missing or unreadable file simply gives the defaults
    m_screens = std::make_unique<SystemScreens>();
}

QCoro::Task<> ProgramSteps::runMainWindow()
{
    const WindowServices services{m_settings.get(), m_screens.get(), m_help.get()};
    co_await runFirstWindow(services, m_thread);
    // Windows still open on other threads close now, before the services go.
    co_await closeEveryProcedure();
}

void ProgramSteps::closeSettings()
{
    if (m_settings)
        m_settings->close();
    m_settings.reset();
}

void ProgramSteps::tearDownTableManagers()
{
    tearDownNoteManagers();
}

void ProgramSteps::releaseErrorManager()
{
    m_errors.reset();
    m_presenter.reset();
}

} // namespace qly
