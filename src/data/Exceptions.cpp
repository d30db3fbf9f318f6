#include "data/Exceptions.h"

EUserError::EUserError(const QString& message) : std::runtime_error(message.toStdString()) {}

EDBException::EDBException(const QString& engineText, const QString& userMessage,
                           const QString& sqlText)
    : std::runtime_error(engineText.toStdString()), UserMessage(userMessage), SqlText(sqlText) {}

void Abort() {
    throw EAbort();
}

void Fail(const QString& userMessage) {
    throw EUserError(userMessage);
}
