// Runs pellucard-cli as a separate process, as a person or a script does.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace pellucard::testing {

struct CliRun {
    int exitCode = -1;  // -2 when the program crashed
    QByteArray out;
    QByteArray err;
    QJsonDocument Json() const { return QJsonDocument::fromJson(out); }
};

// Runs it with `environment`; `input` goes to its standard input.
inline CliRun RunCli(const QStringList& arguments, const QProcessEnvironment& environment,
                     const QByteArray& input = {}) {
    QProcess process;
    process.setProcessEnvironment(environment);
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

}  // namespace pellucard::testing
