#include "records/save_file.h"

namespace pellucard {

bool CommitWhenComplete(QSaveFile& file) {
    if (!file.flush()) {
        // A flush cut short says no reason; what it left over fails again with the system's.
        file.flush();
        file.cancelWriting();
        file.commit();  // discards the new content; the error stays set
        return false;
    }
    return file.commit();
}

bool WriteWhole(QFileDevice& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            // A buffer that could not be flushed whole says no reason; what it left over fails
            // again with the system's.
            file.flush();
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace pellucard
