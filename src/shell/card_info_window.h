#pragma once

#include <array>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "shell/card_gate.h"
#include "shell/child_window.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace pellucard {

// The SIM card information window: shows CardInfo and starts the PIN commands. It reads nothing
// from the card itself; the polling timer re-activates it whenever the card changes.
class CardInfoWindow final : public ChildWindow {
    Q_OBJECT

public:
    explicit CardInfoWindow(ShellHost& host, QWidget* parent = nullptr);

    void changeLanguage() override;
    void activate() override;
    void cardRunChanged() override;
    // Prints the information shown (Print while this window is the current one).
    void printRecords() override;

    // Writes CardInfo into the fields (a value not read shows "-"; without a reader or a card
    // the identity field says which is missing) and sets the commands by whether a card answers.
    void showCardInfo();
    void setCardCommandsEnabled(bool enabled);

    // Index 0 is PIN1, 1 PIN2.
    void changePin(int index);
    void unblockPin(int index);
    void switchPinCheck(int index);
    // Verifies PIN1 with the record windows' dialog; the IMSI, provider name and service
    // centre are read as soon as the card is open.
    void verifyPin();
    // Change the own number (the first EF MSISDN record, its name kept) and the message
    // centre (the first SMS parameter set) on the card: the number is asked for, checked,
    // written after PIN1 where the card needs it, read back, and the outcome told.
    void changeOwnNumber();
    void changeMessageCentre();

    QLabel* iccidValue;
    QLabel* imsiValue;
    QLabel* providerValue;
    QLabel* phaseValue;
    QLabel* phoneBookCountValue;
    QLabel* smsCountValue;
    QLabel* lastDialledCountValue;
    QLabel* pin1StateValue;
    QLabel* pin2StateValue;
    QLabel* puk1StateValue;
    QLabel* puk2StateValue;
    QLabel* ownNumberValue;
    QLabel* messageCentreValue;
    QPushButton* changePinButtons[2];
    QPushButton* pinCheckButtons[1];
    QPushButton* unblockPinButtons[2];
    QPushButton* verifyPinButton;
    QPushButton* changeOwnNumberButton;
    QPushButton* changeMessageCentreButton;
    QPushButton* connectReaderButton;
    QPushButton* copyCardButton;
    QLabel* programHeading;
    QLabel* programBanner;

protected:
    // A double-click on the own number or the message centre changes it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class CardNumber { Own, MessageCentre };
    void changeCardNumber(CardNumber which);
    void writeCardNumber(CardNumber which, CardGate::Hold& hold);
    // The card in the reader is the one the window shows; another is read afresh.
    bool stillTheCardShown(CardGate::Hold& hold);
    bool cardOpenForNumber(CardGate::Hold& hold);
    // The commands that come and go with the reader.
    QList<QPushButton*> readerCommands() const;

    QString attemptsText(const std::optional<int>& count);

    struct Field {
        QLabel* caption;
        QLabel* value;
        MessageId captionId;
    };
    QList<Field> fields_;
    QScrollArea* scroll_;
    // The attempts of PIN1 and PIN2 last read from `countedCard_`: a counter that could not be
    // read since leaves its buttons as they were.
    std::optional<std::string> countedCard_;
    std::array<std::optional<int>, 2> lastAttempts_{};
};

}  // namespace pellucard
