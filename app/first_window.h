#pragma once
// The program's first window until the notes window takes its place: it opens the notes table
// (creating the data file on a first start, with the messages of the open sequence), says how
// many notes there are, and ends the program when closed.

#include "ui/procedure_window.h"

namespace qly {

QCoro::Task<Response> runFirstWindow(WindowServices services, Thread& thread);

} // namespace qly
