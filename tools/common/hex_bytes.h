// The one reader of hexadecimal byte lists on the tools' command lines.
#ifndef TOOLS_HEX_BYTES_H
#define TOOLS_HEX_BYTES_H

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// Groups of one or two hexadecimal digits, or runs of digit pairs, separated by blanks,
// tabs or commas: "02 52 44", "2,52,44" and "025244" all give 02 52 44. A longer odd
// run ("123") is refused, since which of its digits stands alone cannot be told. False
// on anything else and on no bytes at all.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes);

} // namespace tools

#endif
