#pragma once
// The program's own main-routine steps: the real services in the order the main routine calls
// them, and the main window.

#include "app/main_routine.h"

#include <memory>

class QPrinter;

namespace qly {

class DesktopDocumentOpener;
class ErrorManager;
class HelpBook;
class MessagePresenter;
class SettingsFile;
class SystemScreens;
class Thread;

class ProgramSteps final : public MainRoutineSteps
{
public:
    explicit ProgramSteps(Thread& mainThread);
    ~ProgramSteps() override;

    void nameHelpFile(const QString& fileName) override;
    void initErrorManager() override;
    void setUpTableManagers() override;
    void openSettings(const QString& fileName) override;
    DragOption& dragOption() override { return m_drag; }
    QCoro::Task<> runMainWindow() override;
    void closeSettings() override;
    void tearDownTableManagers() override;
    void releaseErrorManager() override;

private:
    Thread& m_thread;
    NoDragOption m_drag;
    QString m_helpFileName;
    std::unique_ptr<HelpBook> m_help;
    std::unique_ptr<MessagePresenter> m_presenter;
    std::unique_ptr<ErrorManager> m_errors;
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<SystemScreens> m_screens;
    std::unique_ptr<DesktopDocumentOpener> m_documents;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace qly
