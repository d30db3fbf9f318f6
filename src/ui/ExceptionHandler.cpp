#include "ui/ExceptionHandler.h"

#include "data/Exceptions.h"
#include "ui/Messages.h"

void TVoskException::HandleException(QObject* /*sender*/, const std::exception& error) {
    Message = QString::fromUtf8(error.what());
    if (const auto* dbError = dynamic_cast<const EDBException*>(&error)) {
        UserMessage = dbError->UserMessage;
        SqlText = dbError->SqlText;
        ShowError(UserMessage, Message, SqlText);
        return;
    }
    ShowErrorText(Message);
}

void TVoskException::HandleUnknownException(QObject* /*sender*/) {
    Message = QStringLiteral("发生未知错误！");
    ShowErrorText(Message);
}

TVoskException& ExceptionHandler() {
    static TVoskException handler;
    return handler;
}
