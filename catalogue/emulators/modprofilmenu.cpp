#include "modprofilmenu.h"

#include "controls/grid/listview.h"

#include <QMenu>

namespace tv {

namespace {

const QString kItemName = QStringLiteral("mnuProfil");

QList<QAction*> ProfilItems(QMenu* menu)
{
    QList<QAction*> items;
    for (QAction* action : menu->actions())
        if (action->objectName() == kItemName) items << action;
    if (items.isEmpty()) {
        // The designed first item is missing: make it, so that the menu keeps its place.
        QAction* first = menu->addAction(QString());
        first->setObjectName(kItemName);
        items << first;
    }
    return items;
}

// Makes `items` hold n entries (the first is never removed); new ones follow the last.
void ResizeMenu(QMenu* menu, QList<QAction*>& items, int n)
{
    while (items.size() > std::max(n, 1)) delete items.takeLast();
    while (items.size() < n) {
        const int pos = int(menu->actions().indexOf(items.last()));
        QAction* before = menu->actions().value(pos + 1);
        auto* action = new QAction(menu);
        action->setObjectName(kItemName);
        menu->insertAction(before, action);
        items << action;
    }
    items.first()->setVisible(n > 0);
}

void ResizeDropDown(QMenu* dropDown, int n)
{
    QList<QAction*> entries = dropDown->actions();
    while (entries.size() > n) delete entries.takeLast();
    while (entries.size() < n) entries << dropDown->addAction(QString());
}

} // namespace

void BuildProfilMenu(const ProfilMenuHost& host)
{
    int n = 0;
    for (const auto& entry : gcolProfils)
        if (entry.value->Aktiv) ++n;

    if (host.lvStart && host.lvStart->RowCount() != 0) host.lvStart->setRowCount(0);
    QList<QAction*> items;
    if (host.menu) {
        items = ProfilItems(host.menu);
        ResizeMenu(host.menu, items, n);
    }
    if (host.startDropDown) ResizeDropDown(host.startDropDown, n);
    const QList<QAction*> entries = host.startDropDown ? host.startDropDown->actions() : QList<QAction*>();

    QStringList keys;
    SortProfils(keys);
    int position = 0;
    for (int i = 1; i < keys.size(); ++i) {
        const ProfilPtr* profil = gcolProfils.item(keys[i]);
        if (!profil || !(*profil)->Aktiv) continue;
        const QString caption = GetProfilName(gcolEmulators, gcolProfils, keys[i]);
        const QString entryKey = kProfilEntryPrefix + keys[i];
        if (host.lvStart) {
            host.lvStart->InsertRows(1);
            host.lvStart->setData(QStringLiteral("Name"), position, caption);
            host.lvStart->setData(QStringLiteral("Key"), position, entryKey);
        }
        if (position < items.size()) {
            items[position]->setText(caption);
            items[position]->setData(entryKey);
            items[position]->setProperty("Tag", entryKey);
        }
        if (position < entries.size()) {
            entries[position]->setText(caption);
            entries[position]->setData(entryKey);
            entries[position]->setProperty("Tag", QStringLiteral("no"));
        }
        ++position;
    }
    if (host.lvStart) host.lvStart->Refresh();
}

} // namespace tv
