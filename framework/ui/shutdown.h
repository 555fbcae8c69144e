#pragma once
// Ending the program with procedures still running. The quit command awaits
// closeEveryProcedure() and then quits the application:
//
// It closes every running procedure window (each resolves Cancelled) and every message box
// shown (each resolves with its escape answer), again on every turn for windows and boxes the
// procedures open as they wind down, and resolves once liveProcedures() is 0.
//
// It must not itself run through spawn(): it waits for every spawned procedure to finish.

#include <qcoro/qcorotask.h>

namespace qly {

QCoro::Task<> closeEveryProcedure();

} // namespace qly
