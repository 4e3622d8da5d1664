#include "shell/reader_chooser.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "records/program_settings.h"
#include "shell/session.h"

namespace pellucard {
namespace {

bool sameChoice(const ReaderChoice& a, const ReaderChoice& b) {
    return a.kind == b.kind && a.argument == b.argument;
}

// One line of the list: the reader's name and, where it matters, whether it is there and holds
// a card.
QString readerLine(const Session& session, const AvailableReader& reader) {
    switch (reader.choice.kind) {
        case ReaderChoice::Kind::Auto:
            return session.text(MessageId::ReaderAutomatic);
        case ReaderChoice::Kind::Hid: {
            const QString name = session.text(MessageId::ReaderUsbSim);
            return reader.present ? name : session.text(MessageId::ReaderNotConnected).arg(name);
        }
        case ReaderChoice::Kind::Pcsc: {
            const QString name = QString::fromStdString(reader.name);
            return session
                .text(reader.holdsCard ? MessageId::ReaderWithCard : MessageId::ReaderWithoutCard)
                .arg(name);
        }
        case ReaderChoice::Kind::Virtual:
        case ReaderChoice::Kind::Socket:
            break;
    }
    return readerName(session, reader.choice);
}

}  // namespace

const char* const kReaderSettingKey = "reader";

QString readerName(const Session& session, const ReaderChoice& choice) {
    switch (choice.kind) {
        case ReaderChoice::Kind::Auto:
            return session.text(MessageId::ReaderAutomaticShort);
        case ReaderChoice::Kind::Hid:
            return session.text(MessageId::ReaderUsbSim);
        case ReaderChoice::Kind::Pcsc:
            if (!choice.argument.empty())
                return QString::fromStdString(choice.argument);
            break;
        case ReaderChoice::Kind::Virtual:
            if (choice.argument.empty())
                return session.text(MessageId::ReaderVirtual);
            break;
        case ReaderChoice::Kind::Socket:
            break;
    }
    return QString::fromStdString(ReaderChoiceText(choice));
}

ReaderChoice rememberedReader(const std::function<std::vector<AvailableReader>()>& list,
                              QString& gone) {
    const ReaderChoice automatic{ReaderChoice::Kind::Auto, {}};
    QSettings* settings = ProgramSettings();
    if (settings == nullptr)
        return automatic;
    const QString text = settings->value(QLatin1String(kReaderSettingKey)).toString();
    ReaderChoice remembered;
    std::string error;
    if (text.isEmpty() || !ParseReaderChoice(text.toStdString(), remembered, error))
        return automatic;
    if (!ReaderChoiceAvailable(remembered, list())) {
        gone = text;
        return automatic;
    }
    return remembered;
}

ReaderChooser::ReaderChooser(const Session& session, std::vector<AvailableReader> readers,
                             const ReaderChoice& current, QWidget* parent)
    : QDialog(parent), readers_(std::move(readers)), current_(current) {
    setObjectName("readerChooser");
    setWindowTitle(session.text(MessageId::ChooseReaderTitle));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName("readerList");
    layout->addWidget(list_);
    for (const AvailableReader& reader : readers_) {
        auto* line = new QListWidgetItem(readerLine(session, reader), list_);
        if (sameChoice(reader.choice, current))
            list_->setCurrentItem(line);
    }
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(session.text(MessageId::Ok));
    buttons_->button(QDialogButtonBox::Cancel)->setText(session.text(MessageId::Cancel));
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + 24);
}

ReaderChoice ReaderChooser::chosen() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(readers_.size()))
        return current_;
    return readers_[static_cast<std::size_t>(row)].choice;
}

}  // namespace pellucard
