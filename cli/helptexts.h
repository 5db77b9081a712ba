// The manual of ombrix-cli: one page for the tool and one per command.
#pragma once

#include <QString>

// The page of `command` ("" for the tool itself); empty for an unknown command.
QString helpText(const QString& command);
