// Standard output, written line by line, with its failures told apart: a closed pipe
// means nobody reads any more and ends the run quietly; any other failure (a full
// disk, an I/O error) loses data and is reported.
#ifndef LOADCELL_OUTPUT_H
#define LOADCELL_OUTPUT_H

#include <string>

namespace loadcell {

class Output {
  public:
    // Writes the line and its line break, and flushes; false once output has failed.
    bool Line(const std::string& line);
    // Writes the text as it is (its own line breaks), and flushes.
    bool Text(const std::string& text);
    bool Failed() const { return error_ != 0; }
    // The failure was a closed pipe.
    bool Gone() const;
    // "No space left on device", or empty.
    std::string Why() const;

  private:
    int error_ = 0;
};

// The one standard output of the program.
Output& Stdout();

} // namespace loadcell

#endif
