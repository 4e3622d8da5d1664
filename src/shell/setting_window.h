#pragma once

#include <array>
#include <optional>

#include "catalogue/catalogue.h"
#include "shell/child_window.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace pellucard {

// The SIM card information window: shows CardInfo and starts the PIN commands. It reads nothing
// from the card itself; the polling timer re-activates it whenever the card changes.
class Setting final : public ChildWindow {
    Q_OBJECT

public:
    explicit Setting(ShellHost& host, QWidget* parent = nullptr);

    void ChangeLanguage() override;
    void Form_Activate() override;
    void CardRunChanged() override;

    // Writes CardInfo into the fields (a value not read shows "-"; without a reader or a card
    // the identity field says which is missing) and sets the commands by whether a card answers.
    void ShowCardInf();
    void EnableProgram(bool enabled);

    // Index 0 is PIN1, 1 PIN2.
    void ComCPIN_Click(int index);
    void ComUBPIN_Click(int index);
    void ComLPIN_Click(int index);
    // Verifies PIN1 with the record windows' dialog; the IMSI, provider name and service
    // centre are read as soon as the card is open.
    void ComVPIN_Click();

    QLabel* TICCID;
    QLabel* TIMSI;
    QLabel* TSPN;
    QLabel* TSIMP;
    QLabel* TMNOfPhone;
    QLabel* TMNOfMessage;
    QLabel* TMNOFLastDial;
    QLabel* TPIN1State;
    QLabel* TPIN2State;
    QLabel* TUnblockPIN1State;
    QLabel* TUnblockPIN2State;
    QPushButton* ComCPIN[2];
    QPushButton* ComLPIN[1];
    QPushButton* ComUBPIN[2];
    QPushButton* ComVPIN;
    QPushButton* CmdConnect;
    QPushButton* CmdCopy;
    QLabel* Label3;
    QLabel* Label4;

private:
    QString AttemptsText(const std::optional<int>& count);

    struct Field {
        QLabel* caption;
        QLabel* value;
        MessageId captionId;
    };
    QList<Field> fields_;
    QScrollArea* scroll_;
    // The attempts of PIN1 and PIN2 last read from `countedCard_`: a counter that could not be
    // read since leaves its buttons as they were.
    std::optional<QString> countedCard_;
    std::array<std::optional<int>, 2> lastAttempts_{};
};

}  // namespace pellucard
