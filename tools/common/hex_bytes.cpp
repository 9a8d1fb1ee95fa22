#include "hex_bytes.h"

#include <cctype>

namespace tools {

namespace {

int DigitValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    return std::tolower(static_cast<unsigned char>(digit)) - 'a' + 10;
}

} // namespace

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == ',') {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])))
            ++i;
        const size_t length = i - start;
        if (length == 0 || (length > 2 && length % 2 != 0)) return false;
        if (length == 1) {
            bytes.push_back(static_cast<uint8_t>(DigitValue(text[start])));
            continue;
        }
        for (size_t k = start; k < i; k += 2)
            bytes.push_back(
                static_cast<uint8_t>(DigitValue(text[k]) * 16 + DigitValue(text[k + 1])));
    }
    return !bytes.empty();
}

} // namespace tools
