#pragma once

// Scripted message boxes, file dialogs and modal dialogs for tests. Installs itself as the
// current dialog seam while it lives; questions and file dialogs take their answers from queues
// filled by the test, modal dialogs are operated by the test's handler instead of blocking, and
// every dialog shown is recorded so that a test can assert on the message ids. A dialog for
// which the script holds no answer gets the safe default (No, Cancel where offered, no file
// name, a modal dialog left rejected) and is recorded as unexpected. A question answered Cancel
// stands for Escape and the box's close button as well.

#include <QDebug>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

#include "records/dialog_seam.h"

namespace pellucard {

// The messages a test expects, in order; nullopt stands for a box without a catalogue message.
using MessageIdList = QList<std::optional<MessageId>>;

class ScriptedDialogs final : public DialogSeam {
public:
    enum class Kind { Message, OpenFile, SaveFile };

    struct Call {
        Kind kind = Kind::Message;
        MessageRequest message;  // for Kind::Message
        FileRequest file;        // for the file dialogs
        QString answer;          // the file name given, or "Ok"/"Yes"/"No"
    };

    ScriptedDialogs() { previous_ = InstallDialogs(this); }
    ~ScriptedDialogs() override {
        if (&CurrentDialogs() == this) {
            InstallDialogs(previous_);
        }
    }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Answers for Yes/No questions, in order. Boxes with only OK need none.
    void QueueAnswer(DialogAnswer answer) { answers_.append(answer); }
    // File names for open and save dialogs, in order; an empty name cancels.
    void QueueFileName(const QString& name) { fileNames_.append(name); }

    // Operates every modal dialog from now on (fills it in, clicks its buttons) in place of
    // its event loop; nullptr makes a modal dialog unexpected again.
    void RunModalWith(std::function<void(QDialog&)> handler) { modal_ = std::move(handler); }

    // Called with a description of every unexpected dialog; by default a warning. A
    // GoogleTest fixture can pass [](const QString& what) { ADD_FAILURE() << ...; }.
    void OnUnexpected(std::function<void(const QString&)> handler) {
        onUnexpected_ = std::move(handler);
    }

    static int Number(std::optional<MessageId> id) { return id ? MessageNumber(*id) : 0; }

    const QList<Call>& Calls() const { return calls_; }
    const QStringList& Unexpected() const { return unexpected_; }
    bool ScriptUsedUp() const { return answers_.isEmpty() && fileNames_.isEmpty(); }

    // Ids of the message boxes shown, in order (nullopt for a box without a catalogue message).
    MessageIdList MessageIds() const {
        MessageIdList ids;
        for (const Call& call : calls_) {
            if (call.kind == Kind::Message) {
                ids.append(call.message.messageId);
            }
        }
        return ids;
    }
    const MessageRequest& LastMessage() const {
        for (auto it = calls_.crbegin(); it != calls_.crend(); ++it) {
            if (it->kind == Kind::Message) {
                return it->message;
            }
        }
        static const MessageRequest none;
        return none;
    }

    void Clear() {
        calls_.clear();
        unexpected_.clear();
    }

    DialogAnswer ShowMessage(const MessageRequest& request) override {
        Call call{Kind::Message, request, {}, {}};
        DialogAnswer answer = DialogAnswer::Ok;
        if (request.buttons != DialogButtons::Ok) {
            if (answers_.isEmpty()) {
                answer = SafeAnswer(request.buttons);
                Report(QStringLiteral("question %1 \"%2\" with no answer scripted")
                           .arg(Number(request.messageId))
                           .arg(request.text));
            } else {
                answer = answers_.takeFirst();
                if (answer == DialogAnswer::Cancel && request.buttons == DialogButtons::YesNo)
                    Report(
                        QStringLiteral("question %1 has no Cancel").arg(Number(request.messageId)));
            }
        }
        call.answer = answer == DialogAnswer::Yes      ? QStringLiteral("Yes")
                      : answer == DialogAnswer::No     ? QStringLiteral("No")
                      : answer == DialogAnswer::Cancel ? QStringLiteral("Cancel")
                                                       : QStringLiteral("Ok");
        calls_.append(call);
        return answer;
    }

    QString ChooseOpenFileName(const FileRequest& request) override {
        return chooseFile(Kind::OpenFile, request);
    }
    QString ChooseSaveFileName(const FileRequest& request) override {
        return chooseFile(Kind::SaveFile, request);
    }

    void RunModal(QDialog& dialog) override {
        if (!modal_)
            return Report(QStringLiteral("modal dialog with no handler scripted"));
        const auto handler = modal_;  // a handler may replace itself while it runs
        handler(dialog);
    }

private:
    QString chooseFile(Kind kind, const FileRequest& request) {
        QString name;
        if (fileNames_.isEmpty()) {
            Report(QStringLiteral("file dialog \"%1\" (%2) with no file name scripted")
                       .arg(request.title, request.nameFilter));
        } else {
            name = fileNames_.takeFirst();
        }
        calls_.append(Call{kind, {}, request, name});
        return name;
    }

    void Report(const QString& what) {
        unexpected_.append(what);
        if (onUnexpected_) {
            onUnexpected_(what);
        } else {
            qWarning().noquote() << "Unexpected dialog:" << what;
        }
    }

    DialogSeam* previous_ = nullptr;
    QList<DialogAnswer> answers_;
    QStringList fileNames_;
    QList<Call> calls_;
    QStringList unexpected_;
    std::function<void(const QString&)> onUnexpected_;
    std::function<void(QDialog&)> modal_;
};

}  // namespace pellucard
