// Remote control of the running viewer: "ombrix --snapshot [FILE]",
// "ombrix --palette N", "ombrix --record start [FILE] | stop" and
// "ombrix --quit" from another process, through the single-instance channel.
#pragma once

#include <QByteArray>

class ThermalImager;

// Primary side: carries out one request on the window (GUI thread) and
// returns the reply for the sender.
QByteArray answerRemoteRequest(ThermalImager* window, const QByteArray& request);

// Sending side, called by main() before any application object exists:
// when the arguments hold a remote command, sends it to the running viewer,
// prints the answer and returns the exit status (0 done, 1 the viewer could
// not do it, 2 bad arguments, 3 no viewer running or no answer); -1 when
// there is no remote command and the viewer should start as usual.
int runRemoteCommandLine(int& argc, char** argv, quint32 instanceOptions);
