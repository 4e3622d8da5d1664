// Runs pellucard-cli as a separate process, as a person or a script does.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <functional>

namespace pellucard::testing {

struct CliRun {
    int exitCode = -1;  // -2 when the program crashed
    QByteArray out;
    QByteArray err;
    QJsonDocument Json() const { return QJsonDocument::fromJson(out); }
};

// Runs it with `environment`; `input` goes to its standard input. `childSetup` runs in the
// child before the program starts (resource limits, file descriptors).
inline CliRun RunCli(const QStringList& arguments, const QProcessEnvironment& environment,
                     const QByteArray& input = {}, const std::function<void()>& childSetup = {}) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(PELLUCARD_CLI, arguments);
    process.write(input);
    process.closeWriteChannel();
    CliRun run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "pellucard-cli did not finish: " << arguments.join(' ').toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Runs it with standard input and standard error on a terminal of their own (a
// pseudo-terminal), as a person at the keyboard runs it; `typed` is what they type. What the
// terminal showed comes back in `err`; standard output stays a pipe.
inline CliRun RunCliOnTerminal(
    const QStringList& arguments, const QByteArray& typed = {},
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return {};
    }
    environment.remove("PELLUCARD_PIN");
    if (!typed.isEmpty() && ::write(master, typed.constData(), typed.size()) != typed.size())
        ADD_FAILURE() << "could not type on the terminal";
    CliRun run = RunCli(arguments, environment, {}, [slave] {
        ::dup2(slave, STDIN_FILENO);
        ::dup2(slave, STDERR_FILENO);
    });
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
        run.err.append(buffer, got);
    ::close(slave);
    ::close(master);
    return run;
}

// The same in the caller's environment, except that its PIN variable never leaks into a
// test: it is set to `pin` when one is given and unset otherwise.
inline CliRun Cli(const QStringList& arguments, const QByteArray& input = {},
                  const QString& pin = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("PELLUCARD_PIN");
    if (!pin.isEmpty())
        environment.insert("PELLUCARD_PIN", pin);
    return RunCli(arguments, environment, input);
}

// A scratch folder holding a copy of the demo card image, for tests that read and write files
// and the card through pellucard-cli.
template <class Base = ::testing::Test>
class CardFolder : public Base {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        FreshCard();
    }
    // The folder's card made the demo card again.
    void FreshCard() const {
        QFile::remove(Path("card.json"));
        ASSERT_TRUE(QFile::copy(PELLUCARD_DEMO_CARD, Path("card.json")));
        QFile::setPermissions(Path("card.json"), QFile::ReadOwner | QFile::WriteOwner);
    }
    // The folder's card refuses these commands from now on ("read:6F3A:7:6F00", ...).
    void AddRefusals(const QJsonArray& refusals) const {
        EditCard([&](QJsonObject& image) { image["refusals"] = refusals; });
    }
    // The folder's card image changed by `edit`.
    void EditCard(const std::function<void(QJsonObject&)>& edit) const {
        QJsonObject image = QJsonDocument::fromJson(Read("card.json")).object();
        edit(image);
        QFile::remove(Path("card.json"));
        Write("card.json", QJsonDocument(image).toJson());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    // The virtual reader with the folder's card, no PIN given.
    QStringList Reader() const { return {"--reader", "virtual:" + Path("card.json")}; }
    // The same with PIN1 given.
    QStringList Card() const { return Reader() + QStringList{"--pin", "1234"}; }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Writes the file and gives its path.
    QString Write(const QString& name, const QByteArray& content) const {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        file.write(content);
        return Path(name);
    }
    // "phonebook" or "sms" as the card holds it now.
    QJsonArray CardJson(const char* what) const {
        const CliRun run = Cli(Reader() + QStringList{"--pin", "1234", "--json", what, "read"});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out).array();
    }

    QTemporaryDir dir;
};
using CardFolderTest = CardFolder<>;

}  // namespace pellucard::testing
