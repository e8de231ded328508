#include "comm/protocol/CommError.h"

CommError::CommError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
