#include "app/program_steps.h"

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
#include "windows/edit/open_document.h"
#include "windows/edit/update_snotes.h"
#include "windows/notes/main_window.h"

#include <QApplication>
#include <QPrinter>

namespace qly {

ProgramSteps::ProgramSteps(Thread& mainThread)
    : m_thread(mainThread), m_documents(std::make_unique<DesktopDocumentOpener>()),
      m_printer(std::make_unique<QPrinter>())
{
}

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
    MainServices services;
    services.windows = WindowServices{m_settings.get(), m_screens.get(), m_help.get()};
    services.presenter = m_presenter.get();
    services.documents = m_documents.get();
    services.printer = m_printer.get();
    services.supportAddress = QStringLiteral(QUILLARY_SUPPORT_ADDRESS);
    services.opensOnReminders = opensOnReminders(QApplication::arguments());
    const NoteFormServices form{services.windows, services.presenter, services.documents};
    services.procedures.updateNote = [form](Thread& thread, Request request,
                                            QPointer<QWidget> caller) {
        return updateSNotes(form, thread, request, caller);
    };
    const Response response = co_await mainNotes(services, m_thread, Request::None, nullptr);
    (void)response; // the program ends however the window closed
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
