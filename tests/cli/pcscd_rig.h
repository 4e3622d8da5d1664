#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>

namespace pellucard::testing {

// A pcscd of our own for one test, with vsmartcard's vpcd as its only reader: started in the
// foreground on a private socket (handed over as systemd would hand it, which pcscd takes since
// pcsc-lite 1.8) and on a free TCP port for the card side, so that it disturbs no pcscd the
// machine runs. Programs reach it through PCSCLITE_CSOCK_NAME.
class PcscdRig {
public:
    PcscdRig();
    ~PcscdRig();
    PcscdRig(const PcscdRig&) = delete;
    PcscdRig& operator=(const PcscdRig&) = delete;

    // False with the reason when pcscd or the vpcd driver is missing or pcscd will not start.
    bool Start(QString& whyNot);
    void Stop();

    // The environment that leads pcsc-lite clients to this pcscd.
    QProcessEnvironment Environment() const;
    // Waits until the reader reports a card (true) or `present` false: no card (true); false
    // when the state was not reached in time.
    bool WaitForCard(bool present, int timeoutMs = 5000) const;
    // Starts `pellucard-cli simulate --pcsc` with these extra arguments and waits until its card
    // is in the reader.
    bool StartCard(QProcess& simulator, const QString& cli, const QStringList& arguments,
                   QString& whyNot) const;

private:
    QTemporaryDir dir_;
    QProcess pcscd_;
    QString socket_;
    std::uint16_t port_ = 0;
    int listener_ = -1;
};

// Ends a process politely, then for good.
void EndProcess(QProcess& process);

}  // namespace pellucard::testing
