// Whole-or-nothing file writes shared by the snapshot formats.
#pragma once

#include <QByteArray>
#include <QString>

namespace snapshot {

// Writes bytes to path through a temporary file in the same folder that
// replaces the target once complete. Empty on success, else why not
// ("cannot write /x/y.csv: No space left on device"); on failure the target
// is as it was and no temporary file is left.
QString writeAtomically(const QString& path, const QByteArray& bytes);

} // namespace snapshot
