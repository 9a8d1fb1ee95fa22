// loadcell check: reads each named cell a number of times, then gives its figures and
// its verdict against the limits, with the readings and an HTML record on request.
#ifndef LOADCELL_CHECK_RUN_H
#define LOADCELL_CHECK_RUN_H

#include "cell_session.h"
#include "options.h"

namespace loadcell {

int RunCheck(const Invocation& inv, CellSession& session);

} // namespace loadcell

#endif
