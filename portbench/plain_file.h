// Reading a file the user picked to load into the display (plain_file_posix.cpp,
// plain_file_win32.cpp).
#ifndef PORTBENCH_PLAIN_FILE_H
#define PORTBENCH_PLAIN_FILE_H

#include <QByteArray>
#include <QString>

// The content of a plain file; false for anything else (a named pipe, a
// device, a folder) and for a file that cannot be read whole.
bool ReadPlainFile(const QString& name, QByteArray& bytes);

#endif
