#pragma once

#include <QByteArray>
#include <QString>

// The editor's end of the simulator's pseudo-terminal, for tests.
class PtyClient
{
public:
    explicit PtyClient(const QString &path);
    ~PtyClient();
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(const QByteArray &bytes);
    // Reads until ETX and one more byte arrived, or until timeoutMs passed without
    // the answer being complete.
    QByteArray readAnswer(int timeoutMs = 5000);
    // Whatever arrives within the given time.
    QByteArray readFor(int ms);

private:
    int m_fd = -1;

    QByteArray readUntil(int ms, bool stopAtAnswer);
};
