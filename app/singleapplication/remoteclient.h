// The sending side of a remote command: connects to the running primary's
// server as a message sender, sends the request and waits for the reply.
// Needs no display and no SingleApplication (Qt Core and Network only).
#pragma once

#include <QByteArray>
#include <QString>

enum class RemoteOutcome {
    Answered,   // `reply` holds the primary's answer
    NoInstance, // nothing listens under that name
    NoAnswer,   // connected, but no whole reply within the time
};

RemoteOutcome sendRemoteRequest(const QString& blockName, const QByteArray& request, int timeoutMs, QByteArray& reply);
