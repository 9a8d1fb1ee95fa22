// The read command: rounds of readings on the schedule, the summary, and what ends a
// run early (a stop signal, a lost port, output that cannot be written).
#ifndef LOADCELL_READ_RUN_H
#define LOADCELL_READ_RUN_H

#include "cell_session.h"
#include "options.h"

namespace loadcell {

int RunRead(const Invocation& inv, CellSession& session);

} // namespace loadcell

#endif
