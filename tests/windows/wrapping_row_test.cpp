// The row of buttons that wraps: one line while its width holds everything, more lines and no
// overlap when it does not, the height it asks for the height it takes.
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "windows/wrapping_row.h"

using namespace pellucard;

class WrappingRowTest : public QObject {
    Q_OBJECT

private slots:
    void wrapsOnlyWhatTheWidthCannotHold() {
        QWidget owner;
        auto* row = new WrappingRow(&owner);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);
        QList<QPushButton*> buttons;
        for (int i = 0; i < 4; ++i) {
            buttons << new QPushButton(QStringLiteral("Button %1").arg(i));
            buttons.last()->setFixedSize(100, 20);
            row->addWidget(buttons.last());
        }
        auto* find = new QHBoxLayout;
        find->setContentsMargins(0, 0, 0, 0);
        auto* caption = new QLabel(QStringLiteral("Find:"));
        auto* box = new QLineEdit;
        box->setMinimumWidth(60);
        find->addWidget(caption);
        find->addWidget(box, 1);
        row->addGroup(find, 1);
        buttons[2]->hide();  // a hidden control takes no room
        owner.show();

        // Wide: one line, the group stretching into what is left.
        QCOMPARE(row->sizeHint().width(), 3 * 100 + 3 * 4 + find->sizeHint().width());
        owner.resize(900, row->heightForWidth(900));
        row->setGeometry(owner.rect());
        QCOMPARE(row->lineCount(), 1);

        // Narrow: the group goes onto its own line, whole, below the buttons.
        const int height = row->heightForWidth(330);
        owner.resize(330, height);
        row->setGeometry(owner.rect());
        QCOMPARE(row->lineCount(), 2);
        QVERIFY(caption->y() >= 20);
        QVERIFY(box->geometry().bottom() < height);

        // Narrower than two buttons: one a line, none overlapping, none beyond the width.
        owner.resize(150, row->heightForWidth(150));
        row->setGeometry(owner.rect());
        QCOMPARE(row->lineCount(), 4);
        for (QPushButton* button : {buttons[0], buttons[1], buttons[3]})
            QVERIFY(owner.rect().contains(button->geometry()));
        QVERIFY(!buttons[0]->geometry().intersects(buttons[1]->geometry()));
        QVERIFY(!buttons[1]->geometry().intersects(buttons[3]->geometry()));
        QCOMPARE(row->minimumSize().width(), std::max(100, find->minimumSize().width()));
    }

    void pairedRowsTakeTheHeightOfTheOneWithMoreLines() {
        QWidget owner;
        auto* wide = new WrappingRow;
        auto* short_ = new WrappingRow;
        for (WrappingRow* row : {wide, short_})
            row->setContentsMargins(0, 0, 0, 0);
        for (int i = 0; i < 3; ++i) {
            auto* button = new QPushButton(QStringLiteral("Wide %1").arg(i), &owner);
            button->setFixedSize(100, 20);
            wide->addWidget(button);
        }
        auto* button = new QPushButton(QStringLiteral("Short"), &owner);
        button->setFixedSize(100, 20);
        short_->addWidget(button);
        QCOMPARE(short_->heightForWidth(150), 20);
        wide->alignWith(short_);
        QVERIFY(wide->heightForWidth(150) > 20);
        QCOMPARE(short_->heightForWidth(150), wide->heightForWidth(150));
        // Either may go first without the other reaching for it.
        delete wide;
        short_->invalidate();
        QCOMPARE(short_->heightForWidth(150), 20);
        delete short_;
    }
};

QTEST_MAIN(WrappingRowTest)
#include "wrapping_row_test.moc"
