#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `bytes` through a temporary file in the
// same folder that is renamed into place, so the file is either the old one
// or the complete new one, never a truncated mix. On failure returns false,
// leaves any existing file untouched and sets *reason (when given) to the
// system's explanation, without the file name.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason);
