// ombrix-cli's commands. Each takes the arguments after its name and returns
// the exit status (exitstatus.h).
#pragma once

#include "commandsupport.h"

// The whole tool: arguments without the program name.
int runCli(const QStringList& arguments, CliContext& cli);

int listCommand(CliContext& cli, const QStringList& arguments);
int infoCommand(CliContext& cli, const QStringList& arguments);
int setCommand(CliContext& cli, const QStringList& arguments);
int statsCommand(CliContext& cli, const QStringList& arguments);
int grabCommand(CliContext& cli, const QStringList& arguments);
int recordCommand(CliContext& cli, const QStringList& arguments);
