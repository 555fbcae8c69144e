#include "support/notes_world.h"

#include "data/note_managers.h"
#include "errors/builtin_messages.h"

namespace qly::test {

namespace {

QLocale settingUnitedStates()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return previous;
}

} // namespace

NotesWorld::NotesWorld(QDate today, MessagePresenter& presenter)
    : m_locale(settingUnitedStates()), m_clock(today),
      m_errors(presenter, [this](int code) { m_terminated << code; })
{
    setClock(&m_clock);
    m_errors.addRows(builtinMessages());
    m_errors.setCategory(builtinCategory());
    setUpNoteManagers(m_errors);
}

NotesWorld::~NotesWorld()
{
    tearDownNoteManagers();
    setClock(nullptr);
    QLocale::setDefault(m_locale);
}

} // namespace qly::test
