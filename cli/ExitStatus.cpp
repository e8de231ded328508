#include "cli/ExitStatus.h"

QString ExitStatus::table()
{
    return QStringLiteral("Exit status:\n"
                          "   0  every file is clean / Transmission was completed\n"
                          "   1  a program has a problem (send: refused before the port was opened;\n"
                          "      import: a value of the table is refused;\n"
                          "      diff: the programs differ)\n"
                          "   2  a file cannot be read (missing, not a program, not a regular file)\n"
                          "   3  send: the port cannot be opened\n"
                          "   4  send: the controller does not answer\n"
                          "   5  send: the controller refused the status query\n"
                          "   6  send: a program is running on the controller\n"
                          "   7  send: answered No at the question\n"
                          "   8  send: the controller refused a command of the transfer\n"
                          "   9  send: stopped by Ctrl+C\n"
                          "  10  send: the port failed during the transfer\n"
                          "  11  export, import: an output cannot be written, or is not a regular file\n"
                          "  64  the command line is wrong (export: one file named twice)\n"
                          "With several units, send exits with the status of the first unit that did\n"
                          "not complete.\n");
}
