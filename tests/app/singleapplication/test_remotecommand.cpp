// Remote commands: what the command line asks for, the request carrying it,
// and the reply; anything else is refused with the problem named.
#include <remotecommand.h>

#include <gtest/gtest.h>

namespace {

QByteArray request(const char* body)
{
    return QByteArray(RemoteRequestMagic) + body;
}

TEST(RemoteCommand, CommandLineBecomesTheRequestTheViewerDecodes)
{
    const struct {
        QStringList arguments;
        RemoteArguments outcome;
        RemoteCommand::Verb verb;
        QString path;
        int palette;
    } cases[] = {
        {{"de"}, RemoteArguments::None, RemoteCommand::None, "", 0},
        {{"de", "--quit"}, RemoteArguments::Command, RemoteCommand::Quit, "", 0},
        {{"--snapshot"}, RemoteArguments::Command, RemoteCommand::Snapshot, "", 0},
        {{"--snapshot", "shots/a b.png"}, RemoteArguments::Command, RemoteCommand::Snapshot, "/work/shots/a b.png", 0},
        {{"--palette", "83"}, RemoteArguments::Command, RemoteCommand::Palette, "", 83},
        {{"--record", "start", "take.mkv"}, RemoteArguments::Command, RemoteCommand::RecordStart, "/work/take.mkv", 0},
        {{"--record", "start"}, RemoteArguments::Command, RemoteCommand::RecordStart, "", 0},
        {{"--record", "stop"}, RemoteArguments::Command, RemoteCommand::RecordStop, "", 0},
        {{"--record", "pause"}, RemoteArguments::Invalid, RemoteCommand::None, "", 0},
        {{"--palette", "84"}, RemoteArguments::Invalid, RemoteCommand::None, "", 0},
        {{"--palette"}, RemoteArguments::Invalid, RemoteCommand::None, "", 0},
        {{"--palette", "two"}, RemoteArguments::Invalid, RemoteCommand::None, "", 0},
        {{"--quit", "--snapshot"}, RemoteArguments::Invalid, RemoteCommand::None, "", 0},
    };
    for (const auto& c : cases) {
        const std::string name = c.arguments.join(' ').toStdString();
        RemoteCommand parsed;
        QString problem;
        ASSERT_EQ(parseRemoteArguments(c.arguments, "/work", parsed, problem), c.outcome) << name;
        EXPECT_EQ(problem.isEmpty(), c.outcome != RemoteArguments::Invalid) << name;
        if (c.outcome != RemoteArguments::Command)
            continue;
        RemoteCommand decoded;
        ASSERT_TRUE(decodeRemoteRequest(encodeRemoteRequest(parsed), decoded, problem)) << name << problem.toStdString();
        EXPECT_EQ(decoded.verb, c.verb) << name;
        EXPECT_EQ(decoded.path, c.path) << name;
        EXPECT_EQ(decoded.palette, c.palette) << name;
    }
}

TEST(RemoteCommand, MalformedRequestsAreRefusedWithTheProblem)
{
    const struct {
        QByteArray message;
        const char* named;
    } cases[] = {
        {"--quit", "not a remote command"},
        {"ombrix-remote/2\nquit", "not a remote command"},
        {request("reboot"), "unknown remote command \"reboot\""},
        {request("quit\nnow"), "no argument"},
        {request("palette\n0"), "palette \"0\""},
        {request("palette\n"), "palette \"\""},
        {request("snapshot\nshots/a.png"), "absolute"},
        {request("record-start\ntake.mkv"), "absolute"},
        {request("record-stop\n/tmp/a.mkv"), "record-stop takes no argument"},
        {request("snapshot\n/") + QByteArray(9000, 'a'), "not a remote command"},
        {request(""), "unknown remote command"},
    };
    for (const auto& c : cases) {
        RemoteCommand command;
        command.verb = RemoteCommand::Quit;
        QString problem;
        EXPECT_FALSE(decodeRemoteRequest(c.message, command, problem)) << c.message.left(40).constData();
        EXPECT_TRUE(problem.contains(QLatin1String(c.named))) << problem.toStdString();
        EXPECT_EQ(command.verb, RemoteCommand::Quit) << "left as it was";
    }
}

TEST(RemoteCommand, RepliesCarryTheOutcomeAndText)
{
    for (const bool ok : {true, false}) {
        bool decodedOk = !ok;
        QString text;
        ASSERT_TRUE(decodeRemoteReply(encodeRemoteReply(ok, QStringLiteral("écrit\nligne")), decodedOk, text));
        EXPECT_EQ(decodedOk, ok);
        EXPECT_EQ(text, QStringLiteral("écrit\nligne"));
    }
    bool ok = false;
    QString text;
    EXPECT_FALSE(decodeRemoteReply("fine\nthanks", ok, text));
    EXPECT_FALSE(isRemoteRequest("ombrix --quit"));
}

} // namespace
