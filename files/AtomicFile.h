#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `bytes` through a temporary file in the
// same folder that is renamed into place, so the file is either the old one
// or the complete new one, never a truncated mix. On failure returns false,
// leaves any existing file untouched and sets *reason (when given) to the
// system's explanation, without the file name.
//
// Only a regular file is ever replaced: a folder, FIFO, device or socket of
// that name is refused (RegularFile::replaceRefusal gives the reason). For a
// link to a regular file, the file it leads to is replaced and the link kept.
//
// The temporary file is named ".NAME.vantrel-tmp-XXXXXX" (NAME the target's
// file name, X a letter or digit) and is locked while the write runs. A write
// killed before its rename leaves it behind; the next write to the same
// target removes such files when they are regular files of this user that no
// running write holds. Nothing else in the folder is touched.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason);
