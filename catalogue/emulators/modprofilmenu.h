#pragma once

#include "catalogue/emulators/modemulator.h"

class QMenu;
namespace vantile { class ListView; }

namespace tv {

// What the main window lends the profile menu. Every part may be null and is then skipped.
struct ProfilMenuHost {
    // The menu that holds the profile items: its actions named "mnuProfil". The first one
    // belongs to the window's design and is kept (hidden while no profile is active); the
    // others are created and deleted here, each placed behind the one before.
    QMenu* menu = nullptr;
    // The drop-down of the toolbar's Start button; its entries are all made here.
    QMenu* startDropDown = nullptr;
    // The start pane: a grid with the columns "Name" and "Key".
    vantile::ListView* lvStart = nullptr;
};

// Entry key of a profile: "Profil" and the profile's key.
inline const QString kProfilEntryPrefix = QStringLiteral("Profil");
// The profile key of an entry key (the text behind the prefix).
inline QString ProfilKeyOfEntry(const QString& entryKey) { return entryKey.mid(kProfilEntryPrefix.size()); }

// Rebuilds the menu items, the drop-down entries and the start pane rows from the active
// profiles of gcolProfils, in caption order. Each menu item and drop-down entry carries
// the caption as its text and the entry key as data(); a menu item has the entry key as
// its "Tag" property, a drop-down entry "no".
void BuildProfilMenu(const ProfilMenuHost& host);

} // namespace tv
