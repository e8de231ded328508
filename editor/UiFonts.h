#pragma once

#include <QFont>
#include <QString>

// "MS UI Gothic" where it exists; Noto Sans CJK JP (installed with the
// editor) has the same narrow Latin letters and the Japanese glyphs.
inline QFont uiFont(const QFont &base, int pixels, const QString &family = QStringLiteral("MS UI Gothic"))
{
    QFont f = base;
    f.setFamilies({family, QStringLiteral("Noto Sans CJK JP"), base.family()});
    f.setPixelSize(pixels);
    return f;
}
