#include "cli/Console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace Console {

namespace {
void write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

void out(const QString &text) { write(stdout, text); }
void err(const QString &text) { write(stderr, text); }

bool outBytes(const QByteArray &bytes, QString *reason)
{
    std::fflush(stdout);
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *reason = n < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("nothing was taken");
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}
bool outIsTerminal() { return isatty(STDOUT_FILENO) == 1; }
bool inIsTerminal() { return isatty(STDIN_FILENO) == 1; }

QString lines(const QString &text)
{
    QString result = text;
    return result.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
}

QString readLine()
{
    QByteArray line;
    char c = 0;
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n <= 0 || c == '\n')
            break;
        line.append(c);
    }
    return QString::fromUtf8(line).trimmed();
}

} // namespace Console
