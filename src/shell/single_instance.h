#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace pellucard {

// One running copy of the program per user: the first holds a lock file in the user's runtime
// folder; a second start finds it held and ends. A lock left by a copy that crashed is taken
// over.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Outcome {
        Acquired,       // this is the only running copy; the lock is ours
        HeldByAnother,  // another copy runs
        Unavailable,    // the lock file cannot be made here (no runtime folder, no right to it)
    };
    Outcome acquire();
    static QString lockPath();

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace pellucard
