#pragma once

#include <QScrollArea>

#include <array>

class QToolButton;

#include "shell/window_index.h"

namespace pellucard {

class Session;

// The main window's left panel: a column of picture buttons (0..6) that select the
// child windows by window index, with a scroll bar for a panel shorter than the column.
// Buttons 1 and 3 select no window and serve as gaps between the groups.
class ButtonPanel final : public QScrollArea {
    Q_OBJECT

public:
    explicit ButtonPanel(QWidget* parent = nullptr);

    QToolButton* windowButton(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
    void setButtonsVisible(bool visible);
    void changeLanguage(const Session& session);

signals:
    void windowChosen(WindowIndex index);

private:
    std::array<QToolButton*, 7> buttons_{};
};

}  // namespace pellucard
