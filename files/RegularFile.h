#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Files that must be plain files on disk. Nothing here waits on a FIFO, a
// terminal or another device: a path that is not a regular file is refused
// with a reason before anything reads from it or replaces it.
namespace RegularFile {

// The whole content of the regular file at `path` (a link to one will do),
// if it holds at most `maximumSize` bytes. Anything else gives nothing and
// sets *reason, when given, to a phrase that follows the file's name:
// "is a folder", "is not a regular file (a FIFO)", "is larger than 16 MiB",
// "cannot be opened: No such file or directory", "cannot be read: ...".
// A larger file is refused from its size, without reading it.
std::optional<QByteArray> read(const QString &path, qint64 maximumSize, QString *reason);

// Why whatever exists at `path` must not be replaced by a written file:
// "a folder of that name exists", "not a regular file (a character device)".
// Empty when nothing is there or it is a regular file (or a link to one).
QString replaceRefusal(const QString &path);

// Whether two names lead to the same file: the same file on disk when both
// exist (links and other spellings included), else the same place after the
// folder's links are resolved.
bool sameFile(const QString &a, const QString &b);

} // namespace RegularFile
