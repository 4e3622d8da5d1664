#pragma once

#include <array>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
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
    QPushButton* changePinButtons[2];
    QPushButton* pinCheckButtons[1];
    QPushButton* unblockPinButtons[2];
    QPushButton* verifyPinButton;
    QPushButton* connectReaderButton;
    QPushButton* copyCardButton;
    QLabel* programHeading;
    QLabel* programBanner;

private:
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
