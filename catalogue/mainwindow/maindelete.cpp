// The main window's delete and edit commands: files, a category or a day of the start history
// go; a category is renamed; one file opens its details, several the category window.
#include "frmmain.h"
#include "viewsql.h"

#include "catalogue/core/frminputbox.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/core/modmain.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/frmcategory.h"
#include "catalogue/import/modcategory.h"
#include "catalogue/import/sqltext.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/msgbox.h"

namespace tv {

namespace {

bool IsTreeView(int mode) { return mode == kViewCategories || mode == kViewHistory; }

// A tree node's key as the number it stands for; 0 when it is none, so that no text of a
// node ever reaches an SQL statement.
qint64 NodeNumber(const CTreeItem& item)
{
    bool ok = false;
    const qint64 n = item.Key.toLongLong(&ok);
    return ok ? n : 0;
}

// Whether the keyboard focus of `window` is in the tree or the drill-down list; with no focus
// anywhere the one the user was in last counts.
bool FocusInTreeOrList(const QWidget* window, const QWidget* tree, const QWidget* list)
{
    const QWidget* focus = window->focusWidget();
    return !focus || focus == tree || tree->isAncestorOf(focus) || focus == list || list->isAncestorOf(focus);
}

bool Confirmed(const QString& question)
{
    return MsgBox(question, vbYesNo | vbQuestion, kAppTitle) == vbYes;
}

} // namespace

QList<qint32> frmMain::SelectedRowIDs()
{
    QList<qint32> ids;
    if (FilesListShown()) {
        const Collection<cListItem> rows = lstMainFiles_->SelectedItems();
        for (int i = 1; i <= rows.count(); ++i)
            ids << lstMainFiles_->FieldValue(Variant(QStringLiteral("ID")), rows.item(i)->Row).toLong();
    } else {
        const Collection<cListItem> rows = lstMain_->SelectedItems();
        for (int i = 1; i <= rows.count(); ++i) ids << rows.item(i)->Key.toLong();
    }
    ids.removeAll(0);
    return ids;
}

void frmMain::mnuDel_Click()
{
    if (!goDB) return;
    const int mode = ViewMode();
    // In the tree views the command acts on the focused one of tree and list; with the focus
    // in a side pane or the search it deletes nothing.
    if (IsTreeView(mode) && !FocusInTreeOrList(this, treeMain_, lstMain_)) return;
    const qint32 countBefore = goFileManager->FileCount;
    bool deleted = false;
    DbError error;
    if (!IsTreeView(mode) || !TreeActive()) {
        const QList<qint32> ids = SelectedRowIDs();
        if (ids.isEmpty()) return;
        if (!Confirmed(Translate(QStringLiteral("Anzahl der zu löschenden Dateien aus der Datenbank: "))
                       + QString::number(ids.size())))
            return;
        for (const qint32 id : ids) {
            if ((error = DeleteMainFile(id))) break;
            deleted = true;
        }
    } else {
        const auto item = treeMain_->SelectedItem();
        if (!item || item->Level != 2) return;
        const QString key = QString::number(NodeNumber(*item));
        if (mode == kViewCategories) {
            if (!Confirmed(Translate(QStringLiteral("Möchten Sie die Kategorie '@1' löschen?"), item->Text))) return;
            error = DeleteCategory(qint32(NodeNumber(*item)));
            deleted = !error;
        } else {
            if (!Confirmed(Translate(QStringLiteral("Möchten Sie die Chronik '@1' löschen?"), item->Text))) return;
            // Every start of that calendar day, whatever its time.
            error = goDB->Execute(QStringLiteral("Delete * from History where ") + kStartDaySql
                                  + QLatin1Char('=') + key);
            if (!error) {
                RefreshAfterDelete(false);
                return;
            }
        }
    }
    if (error) {
        MsgBox(QStringLiteral("Del-Error: ") + FailureText(QStringLiteral("Fehler beim Löschen aus der Datenbank: "), error.description), vbOKOnly, kAppTitle);
        // Rows deleted before the failure are gone: the lists must not show them any longer.
        goFileManager->CountFiles();
        RefreshAfterDelete(false);
        return;
    }
    if (!deleted) return;
    goFileManager->CountFiles();
    RefreshAfterDelete(false);
    // A count that failed gives no difference to show.
    if (countBefore >= 0 && goFileManager->FileCount >= 0)
        ShowInfo(Translate(QStringLiteral("Gelöschte Dateien: ")) + QString::number(countBefore - goFileManager->FileCount));
}

void frmMain::EditSelected()
{
    if (!goDB) return;
    const int mode = ViewMode();
    if (IsTreeView(mode) && TreeActive()) {
        // A start day has nothing to edit: only a category's name.
        const auto item = treeMain_->SelectedItem();
        if (item && item->Level == 2 && mode == kViewCategories) RenameCategory();
        return;
    }
    const QList<qint32> ids = SelectedRowIDs();
    if (ids.size() == 1) {
        EditFiles(ids.first());
    } else if (ids.size() > 1) {
        frmCategory window(this);
        window.SelectedFileIDs = [ids] { return ids; };
        window.exec();
        if (!window.Changed) return;
        if (FilesListShown()) lstMainFiles_->Requery();
        else lstMain_->Requery();
    }
}

void frmMain::RenameCategory()
{
    const auto item = treeMain_->SelectedItem();
    if (!item || item->Level != 2) return;
    const QString key = QString::number(NodeNumber(*item));
    const QString name = InputText(Translate(QStringLiteral("Umbenennung der Kategorie: ")), kAppTitle, item->Text);
    if (name.isEmpty() || name == item->Text) return;
    if (CategoryExists(name, QStringLiteral(" AND ID<>") + key, true)) return;
    if (const DbError error = goDB->Execute(QStringLiteral("Update Category Set tCategory ='") + SqlQuoted(name)
                                            + QStringLiteral("' where ID=") + key)) {
        MsgBox(FailureText(QStringLiteral("Fehler beim Schreiben in die Datenbank: "), error.description), vbExclamation | vbOKOnly, kAppTitle);
        return;
    }
    treeMain_->Requery(true);
    // The list shows the new name where it has a category column.
    for (int level = 1; level <= lstMain_->levels()->Count(); ++level)
        if (lstMain_->levels()->LevelSource(level).contains(QLatin1String("tCategory"), Qt::CaseInsensitive)) {
            lstMain_->Requery();
            break;
        }
    UpdateActions();
}

} // namespace tv
