#pragma once

#include <QIcon>
#include <QPixmap>

namespace pellucard {

// The program's pictures, drawn in code so that they stay sharp at every size.
enum class Artwork {
    SimCard,    // the application icon
    Printer,    // print
    Person,     // personal records
    PhoneBook,  // the card's phone book
    Message,    // the card's short messages
};

QPixmap artworkPixmap(Artwork picture, int size);
// The picture at the sizes menus, buttons and window decorations ask for.
QIcon artworkIcon(Artwork picture);

}  // namespace pellucard
