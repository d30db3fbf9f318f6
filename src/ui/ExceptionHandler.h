#pragma once

#include <QObject>
#include <QString>

#include <exception>

// The one handler of every exception that leaves an event handler. Keeps the texts of the
// last exception it showed.
class TVoskException {
public:
    void HandleException(QObject* sender, const std::exception& error);
    // An exception of no known kind: a plain error box.
    void HandleUnknownException(QObject* sender);

    QString Message;
    QString UserMessage;
    QString SqlText;
};

TVoskException& ExceptionHandler();

// Runs one piece of work the way the event loop does: the silent abort is dropped, every
// other exception goes to the handler. Returns false when the work threw.
template <typename Work> bool RunHandled(QObject* sender, Work&& work);

// Connects the sender's signal to a member function of the receiver taking no arguments, run
// through RunHandled: a button's click, a menu item's choice, a list's double click.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
void ConnectHandled(Sender* sender, Signal signal, Receiver* receiver, Handler handler);

#include "data/Exceptions.h"

template <typename Work> bool RunHandled(QObject* sender, Work&& work) {
    try {
        work();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& error) {
        ExceptionHandler().HandleException(sender, error);
        return false;
    } catch (...) {
        ExceptionHandler().HandleUnknownException(sender);
        return false;
    }
}

template <typename Sender, typename Signal, typename Receiver, typename Handler>
void ConnectHandled(Sender* sender, Signal signal, Receiver* receiver, Handler handler) {
    QObject::connect(sender, signal, receiver, [receiver, handler] {
        RunHandled(receiver, [&] { (receiver->*handler)(); });
    });
}
