#include "params_check.h"

#include "line_params.h"

#include <vector>

namespace loadcell {
namespace {

struct Field {
    size_t end; // where the field ends in the text
    std::string text;
};

// The fields as the two forms separate them: blanks between key=value pairs, commas
// between the positions of the short form.
std::vector<Field> Fields(const std::string& text) {
    const bool keys = text.find('=') != std::string::npos;
    std::vector<Field> fields;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = keys ? text.find_first_of(" \t", start) : text.find(',', start);
        if (end == std::string::npos) end = text.size();
        if (!keys || end > start) fields.push_back({end, text.substr(start, end - start)});
        start = end + 1;
    }
    return fields;
}

const char* const kPositions[] = {"baud rate", "parity", "data bits", "stop bits", "handshake"};

} // namespace

bool CheckParams(const std::string& text, std::string& error) {
    portline::LineSettings settings;
    if (!portline::ParseLineParams(text, settings)) {
        // The first field whose text up to it is rejected is the bad one.
        const std::vector<Field> fields = Fields(text);
        const bool keys = text.find('=') != std::string::npos;
        for (size_t i = 0; i < fields.size(); ++i) {
            portline::LineSettings probe;
            if (portline::ParseLineParams(std::string_view(text).substr(0, fields[i].end), probe))
                continue;
            error = "--params: field " + std::to_string(i + 1);
            if (!keys && i < std::size(kPositions))
                error += std::string(" (") + kPositions[i] + ")";
            error += " '" + fields[i].text + "' is not valid in '" + text +
                     "' (such as \"9600,n,8,1\" or \"baud=9600 parity=n data=8 stop=1\")";
            return false;
        }
        error = "--params: '" + text + "' is not a line parameter text";
        return false;
    }
    if (!portline::IsApplicable(settings)) {
        error = "--params: '" + text +
                "' asks for data bits and stop bits that a port cannot take together (5 data "
                "bits go with 1 or 1.5 stop bits, 6 to 8 with 1 or 2)";
        return false;
    }
    return true;
}

} // namespace loadcell
