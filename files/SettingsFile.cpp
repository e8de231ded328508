#include "files/SettingsFile.h"

#include "files/AtomicFile.h"
#include "files/IniDocument.h"
#include "files/IntegerText.h"
#include "files/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString windowSection = QStringLiteral("Window");
const QString systemSection = QStringLiteral("System");

int readInteger(const IniDocument &ini, const QString &section, const QString &key, int defaultValue)
{
    const std::optional<QString> text = ini.value(section, key);
    if (!text)
        return defaultValue;
    return parseIntegerText(*text).value_or(defaultValue);
}

QString readString(const IniDocument &ini, const QString &section, const QString &key)
{
    QString text = ini.value(section, key).value_or(QString());
    if (text.size() > SettingsFile::MaximumStringLength) {
        qsizetype length = SettingsFile::MaximumStringLength;
        // Do not keep half of a surrogate pair.
        if (text.at(length - 1).isHighSurrogate())
            --length;
        text.truncate(length);
    }
    return text;
}

QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("The settings file \"%1\" could not be written: %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString SettingsFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Orrisan/VantrelAssistant/VantrelAssistant.ini");
}

AppSettings SettingsFile::read(const QString &path)
{
    AppSettings settings;
    if (!QFile::exists(path))
        return settings;
    const IniDocument ini = load(path);

    settings.left = readInteger(ini, windowSection, QStringLiteral("Left"), settings.left);
    settings.top = readInteger(ini, windowSection, QStringLiteral("Top"), settings.top);
    settings.width = std::max(MinimumWidth, readInteger(ini, windowSection, QStringLiteral("Width"), settings.width));
    settings.height =
        std::max(MinimumHeight, readInteger(ini, windowSection, QStringLiteral("Height"), settings.height));
    settings.comPortNo = readInteger(ini, systemSection, QStringLiteral("ComPortNo"), settings.comPortNo);
    settings.comPortIndex = readInteger(ini, systemSection, QStringLiteral("ComPortIndex"), settings.comPortIndex);
    settings.prgNo =
        std::clamp(readInteger(ini, systemSection, QStringLiteral("PrgNo"), settings.prgNo), 0, MaximumProgramNo);
    settings.fileDir = readString(ini, systemSection, QStringLiteral("FileDir"));
    return settings;
}

IniDocument SettingsFile::load(const QString &path)
{
    const std::optional<QByteArray> bytes = RegularFile::read(path, MaximumFileSize, nullptr);
    return bytes ? IniDocument(*bytes) : IniDocument();
}

bool SettingsFile::update(const QString &path, const std::function<void(IniDocument &)> &change, QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = failure(path, reason);
        return false;
    };

    IniDocument ini;
    if (QFileInfo::exists(path)) {
        if (const QString why = RegularFile::replaceRefusal(path); !why.isEmpty())
            return fail(why);
        // Everything else in the file must survive, so a file that cannot be
        // read is not overwritten.
        QString why;
        const std::optional<QByteArray> bytes = RegularFile::read(path, MaximumFileSize, &why);
        if (!bytes)
            return fail(QStringLiteral("it ") + why);
        ini = IniDocument(*bytes);
    }

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder \"%1\" could not be created").arg(QDir::toNativeSeparators(folder)));

    change(ini);
    QString reason;
    if (!writeFileAtomically(path, ini.toBytes(), &reason))
        return fail(reason);
    return true;
}

bool SettingsFile::write(const QString &path, const AppSettings &settings, QString *error)
{
    // A line break cannot be stored in an INI value; such a folder name is
    // dropped rather than allowed to break the file apart.
    QString fileDir = settings.fileDir;
    if (!fitsOnOneLine(fileDir))
        fileDir.clear();

    return update(
        path,
        [&](IniDocument &ini) {
            auto number = [](int value) { return QString::number(value); };
            ini.setValue(windowSection, QStringLiteral("Left"), number(settings.left));
            ini.setValue(windowSection, QStringLiteral("Top"), number(settings.top));
            ini.setValue(windowSection, QStringLiteral("Width"), number(settings.width));
            ini.setValue(windowSection, QStringLiteral("Height"), number(settings.height));
            ini.setValue(systemSection, QStringLiteral("ComPortNo"), number(settings.comPortNo));
            ini.setValue(systemSection, QStringLiteral("ComPortIndex"), number(settings.comPortIndex));
            ini.setValue(systemSection, QStringLiteral("PrgNo"), number(settings.prgNo));
            ini.setValue(systemSection, QStringLiteral("FileDir"), fileDir);
        },
        error);
}

bool SettingsFile::fitsOnOneLine(const QString &value)
{
    return !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar(0));
}
