#pragma once

#include <QSaveFile>

namespace pellucard {

// Replaces the target of `file` with what was written to it, only when all of it reached
// the disk. QSaveFile::commit alone (Qt 6.4) reports success for content that a full
// disk or a file size limit cut short while it sat in the write buffer, and so would put
// a truncated file in place of the user's; flushing first surfaces that error. On failure
// the target stays as it was and `file.errorString()` says why.
bool CommitWhenComplete(QSaveFile& file);

// Writes all of `bytes` to `file`. A write that a full disk or a file size limit cuts short
// reports no reason of its own (Qt 6.4 says "Unknown error"); it is continued, so that the
// attempt that cannot go on fails with the system's reason ("No space left on device"), which
// file.errorString() then gives.
bool WriteWhole(QFileDevice& file, const QByteArray& bytes);

}  // namespace pellucard
