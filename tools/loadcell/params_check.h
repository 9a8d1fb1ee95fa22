// The --params text checked before the port is opened, by the library's own rules:
// the library applies a text it rejects up to the bad field and opens all the same.
#ifndef LOADCELL_PARAMS_CHECK_H
#define LOADCELL_PARAMS_CHECK_H

#include <string>

namespace loadcell {

// False on a text the library would reject, or whose settings a port cannot take;
// `error` then names the bad field: "--params: field 2 (parity) 'q' is not valid in ...".
bool CheckParams(const std::string& text, std::string& error);

} // namespace loadcell

#endif
