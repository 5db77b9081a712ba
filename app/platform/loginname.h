// The login name of a user, for keys that must differ between users.
#pragma once

#include <QString>
#include <sys/types.h>

namespace platform {

// Name of the user with this id in the password database; empty when the
// database has no entry for it or cannot be read.
QString passwordDatabaseName(uid_t uid);

// Login name of the user with this id: the password database first, then the
// environment variables "USERNAME" and "USER"; empty when all three fail.
QString loginName(uid_t uid);

// Login name of the user this process runs as (its effective user id).
QString currentLoginName();

} // namespace platform
