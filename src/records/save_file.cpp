#include "records/save_file.h"

namespace pellucard {

bool CommitWhenComplete(QSaveFile& file) {
    if (!file.flush()) {
        file.cancelWriting();
        file.commit();  // discards the new content; the error stays set
        return false;
    }
    return file.commit();
}

}  // namespace pellucard
