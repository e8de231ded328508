#pragma once

#include <QString>
#include <stdexcept>

// A failure of the serial port during an exchange; message() is the text shown to the user.
class CommError : public std::runtime_error
{
public:
    explicit CommError(const QString &message);
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
