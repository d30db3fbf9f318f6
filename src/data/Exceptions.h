#pragma once

#include <QString>

#include <exception>
#include <stdexcept>

// A command that cannot go on throws an exception whose message is the sentence for the user.
// Any std::exception works; what() is read as UTF-8.
class EUserError : public std::runtime_error {
public:
    explicit EUserError(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// A failed database operation: the engine's text (what()), the sentence for the user and the
// statement or batch that failed (empty when there is none).
class EDBException : public std::runtime_error {
public:
    EDBException(const QString& engineText, const QString& userMessage, const QString& sqlText);
    QString Message() const { return QString::fromUtf8(what()); }
    QString UserMessage;
    QString SqlText;
};

// The silent abort: stops a command and shows nothing (a confirmation answered No).
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "aborted"; }
};

[[noreturn]] void Abort();
[[noreturn]] void Fail(const QString& userMessage);
