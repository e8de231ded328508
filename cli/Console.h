#pragma once

#include <QString>

// Text out of the tool: UTF-8, one call one write, flushed at once so that
// lines keep their order between the two streams.
namespace Console {

void out(const QString &text);
void err(const QString &text);
// Bytes as they are on standard output; false, with *reason, when they
// cannot all be written.
bool outBytes(const QByteArray &bytes, QString *reason);
bool outIsTerminal();
bool inIsTerminal();
// The system's texts break lines with LF CR; a terminal wants LF alone.
QString lines(const QString &text);
// Reads a line from standard input; empty at end of input or when a signal
// interrupted the read.
QString readLine();

} // namespace Console
