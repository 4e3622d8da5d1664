#pragma once

// What the layout tests look for in a window or dialog: captions wider than the room their
// widget has, and controls that cannot be seen (or scrolled to).

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextEdit>

#include <algorithm>

namespace pellucard::testing {

inline QString Visible(const QString& caption) {
    QString text = caption;
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

inline QString Describe(const QWidget* widget, const QString& text, int needed, int has) {
    return QStringLiteral("%1 \"%2\" (%3): needs %4, has %5")
        .arg(widget->metaObject()->className(), text, widget->objectName())
        .arg(needed)
        .arg(has);
}

// The captions under `root` that do not fit the room their widget was given.
inline QStringList CaptionsCutOff(QWidget* root) {
    QStringList cut;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root) || widget->width() <= 0)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->text().isEmpty() || qobject_cast<QTabBar*>(widget->parentWidget()))
                continue;
            // A push button's size hint has a minimum width of its own: what must fit is the
            // text (and icon) in the room the style leaves for them.
            int needed = button->sizeHint().width();
            int room = button->width();
            if (qobject_cast<QPushButton*>(button) != nullptr) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = button->text();
                room = button->style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                           .width();
                needed = button->fontMetrics().horizontalAdvance(Visible(button->text()));
                if (!button->icon().isNull())
                    needed += button->iconSize().width() + 4;
            }
            if (needed > room)
                cut << Describe(button, button->text(), needed, room);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text().isEmpty())
                continue;
            const int room = label->contentsRect().width() - 2 * label->margin();
            if (label->wordWrap()) {
                const int needed = label->heightForWidth(label->width());
                if (needed > label->height())
                    cut << Describe(label, label->text(), needed, label->height()) + " (height)";
            } else {
                const int needed = label->fontMetrics().horizontalAdvance(Visible(label->text()));
                if (needed > room)
                    cut << Describe(label, label->text(), needed, room);
            }
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            if (frame->title().isEmpty())
                continue;
            const int needed = frame->minimumSizeHint().width();
            if (needed > frame->width())
                cut << Describe(frame, frame->title(), needed, frame->width());
        } else if (auto* header = qobject_cast<QHeaderView*>(widget)) {
            QAbstractItemModel* model = header->model();
            if (model == nullptr || header->orientation() != Qt::Horizontal)
                continue;
            const int margin =
                2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int section = 0; section < header->count(); ++section) {
                if (header->isSectionHidden(section) || header->sectionSize(section) == 0)
                    continue;
                const QString title = model->headerData(section, Qt::Horizontal).toString();
                if (title.trimmed().isEmpty())
                    continue;
                const int needed = header->fontMetrics().horizontalAdvance(title) + margin;
                if (needed > header->sectionSize(section))
                    cut << Describe(header, title, needed, header->sectionSize(section));
            }
        } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int tab = 0; tab < tabs->count(); ++tab) {
                const int needed =
                    tabs->fontMetrics().horizontalAdvance(Visible(tabs->tabText(tab)));
                if (needed > tabs->tabRect(tab).width())
                    cut << Describe(tabs, tabs->tabText(tab), needed, tabs->tabRect(tab).width());
            }
        }
    }
    return cut;
}

// A control is what a person reads or operates; frames, viewports and scroll bars are the
// means of showing them.
inline bool IsControl(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
           qobject_cast<const QLabel*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           qobject_cast<const QProgressBar*>(widget) != nullptr ||
           qobject_cast<const QGroupBox*>(widget) != nullptr ||
           qobject_cast<const QTabBar*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr;
}

// Parts of a bigger control: a list's headers and cell editors, a tab bar's scroll arrows, a
// spin box's or combo box's own line edit. Their control is measured instead.
inline bool IsPartOfControl(const QWidget* widget, const QWidget* root) {
    for (const QWidget* at = widget->parentWidget(); at != nullptr && at != root->parentWidget();
         at = at->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(at) || qobject_cast<const QTabBar*>(at) ||
            qobject_cast<const QAbstractSpinBox*>(at) || qobject_cast<const QComboBox*>(at))
            return true;
    }
    return false;
}

enum class Sight {
    Whole,     // wholly inside every widget around it
    Down,      // inside its scroll area's content, which scrolls up and down to it
    Sideways,  // inside its scroll area's content, which must scroll sideways to it
    Cut,       // partly or wholly outside a widget that does not scroll
};

// How much of `widget` can be seen inside `root`. A scroll area's viewport lets through what it
// can scroll to: beyond it the widget stands where the scroll area stands.
inline Sight SightOf(const QWidget* widget, const QWidget* root) {
    QRect rect = widget->rect();
    if (rect.isEmpty())
        return Sight::Cut;  // squeezed to nothing
    Sight sight = Sight::Whole;
    for (const QWidget* at = widget; at != root && at->parentWidget() != nullptr;
         at = at->parentWidget()) {
        const QWidget* parent = at->parentWidget();
        rect.translate(at->pos());
        if (parent->rect().contains(rect))
            continue;
        const auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
        if (area == nullptr || area->viewport() != parent)
            return Sight::Cut;
        const bool sideways = rect.left() < 0 || rect.right() > parent->rect().right();
        sight = std::max(sight, sideways ? Sight::Sideways : Sight::Down);
        rect = parent->rect();
    }
    return sight;
}

// The controls under `root` that cannot be seen whole; with `scrolling`, only those that no
// scroll area brings into sight by scrolling up and down.
inline QStringList ControlsOutOfSight(QWidget* root, bool scrolling) {
    static const char* const kWords[] = {"whole", "below", "off to the side", "cut"};
    QStringList out;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root) || !IsControl(widget) || IsPartOfControl(widget, root))
            continue;
        const Sight sight = SightOf(widget, root);
        if (sight == Sight::Whole || (scrolling && sight == Sight::Down))
            continue;
        const QRect at(widget->mapTo(root, QPoint(0, 0)), widget->size());
        out << QStringLiteral("%1 (%2) at %3,%4 %5x%6 is %7")
                   .arg(widget->metaObject()->className(), widget->objectName())
                   .arg(at.x())
                   .arg(at.y())
                   .arg(at.width())
                   .arg(at.height())
                   .arg(QLatin1String(kWords[static_cast<int>(sight)]));
    }
    return out;
}

// The menu bar's entries that do not fit it (the bar then hides them behind an arrow).
inline QStringList MenusOutOfSight(const QMenuBar* bar) {
    QStringList out;
    for (QAction* action : bar->actions()) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        const QRect at = bar->actionGeometry(action);
        if (at.isEmpty() || !bar->rect().contains(at))
            out << QStringLiteral("menu \"%1\" is cut").arg(Visible(action->text()));
    }
    return out;
}

}  // namespace pellucard::testing
