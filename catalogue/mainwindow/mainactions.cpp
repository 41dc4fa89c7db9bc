// The main window's reactions to its lists, tree and panes, the commands that follow the
// selection (action enabler), the edit pop-up and the home page.
#include "frmmain.h"
#include "columnstate.h"
#include "homepage.h"
#include "searchpane.h"
#include "sidepane.h"
#include "viewsql.h"

#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modlang.h"
#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "controls/grid/column.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

namespace tv {

namespace {
constexpr uint32_t kWindowColour = 0x80000005;      // the system's window background
constexpr uint32_t kButtonFaceColour = 0x8000000F;  // the system's button face
} // namespace

void frmMain::ConnectListEvents()
{
    // Both lists select several rows (delete, copy and the category window act on all of
    // them) and open their column menu on a right click on the header.
    for (SimpleReport* list : {lstMainFiles_, lstMain_->SimpleReport_()}) {
        list->setMultiSelect(true);
        list->setShowContextMenu(true);
    }
    // Which of tree and drill-down list the commands act on: the one the user was in last.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now) return;
        if (now == treeMain_ || treeMain_->isAncestorOf(now)) TreeFocused = true;
        else if (now == lstMain_ || lstMain_->isAncestorOf(now)) TreeFocused = false;
    });

    treeMain_->SelectionChange.connect([this] { treeMain_SelectionChange(); });
    treeMain_->DblClick.connect([this] {
        const auto item = treeMain_->SelectedItem();
        if (item && item->Level == 2 && ViewMode() == kViewCategories) RenameCategory();
    });
    treeMain_->MouseDown.connect([this](int16_t button, int16_t, float, float) {
        TreeFocused = true;
        UpdateActions();
        if (button == 2) ShowEditMenu();
    });
    // A double click starts the file with its type's profile; a right click opens the edit menu.
    lstMain_->ItemDblClick.connect([this](int32_t, int16_t, int16_t) { StartFile(); });
    lstMainFiles_->ItemDblClick.connect([this](int32_t, int16_t, int16_t) { StartFile(); });
    lstMain_->ItemClick.connect([this](int32_t, int16_t button, int16_t) {
        TreeFocused = false;
        if (button == 2) {
            UpdateActions(QStringLiteral("lstMain"));
            ShowEditMenu();
        }
    });
    lstMainFiles_->ItemClick.connect([this](int32_t, int16_t button, int16_t) {
        if (button == 2) ShowEditMenu();
    });
    lstMain_->SelectionChange.connect([this] { UpdateActions(QStringLiteral("lstMain")); });
    lstMainFiles_->SelectionChange.connect([this] { UpdateActions(); });

    // The selection pane: a click on the active selection opens the selection window; a click
    // on the header switches the selection off.
    auto filterPressRow = std::make_shared<int>(-1);
    vantile::ListView* filterList = lvFilter_->list();
    filterList->MouseDown.connect([this, filterPressRow](int16_t&, int16_t&, int32_t, int32_t, bool&) {
        *filterPressRow = lvFilter_->CurrentRow();
    });
    filterList->ItemClick.connect([this, filterPressRow](int32_t row, int32_t, int16_t button, int16_t, int32_t, int32_t) {
        if (button != 1 || row < 0 || row != *filterPressRow || !search_->SearchEnabled()) return;
        if (lvFilter_->Key(row) == CurrentFilterKey) mnuFilter_Click();
    });
    filterList->HeaderClick.connect([this](int32_t, int16_t) {
        if (CurrentFilterKey == 0 || !search_->SearchEnabled()) return;
        lvFilter_->SetCurrentRow(0);
        lvFilter_->list()->Refresh();
        CurrentFilterKey = 0;
        BuildView(0);
    });
}

bool frmMain::TreeActive() const
{
    return TreeFocused;
}

void frmMain::treeMain_SelectionChange()
{
    FollowTreeNode();
    UpdateActions();
    ShowCounts();
}

void frmMain::UpdateActions(const QString& source)
{
    InfoTag = 0;
    mCurrentFileType = 0;
    bool canDelete = false, canEdit = false, canStart = false;
    const Variant idField(QStringLiteral("ID")), typeField(QStringLiteral("iTyp")), nameField(gtFileCaption);
    const int mode = ViewMode();
    if (!goDB) {
        // Nothing is selectable without a catalogue.
    } else if (mode == kViewCategories || mode == kViewHistory) {
        if (!TreeActive() || source == QLatin1String("lstMain")) {
            if (lstMain_->SelectedItem()) {
                canDelete = canEdit = canStart = true;
                ShowInfo(lstMain_->FieldValue(nameField).text());
                InfoTag = lstMain_->FieldValue(idField).toLong();
                mCurrentFileType = lstMain_->FieldValue(typeField).toLong();
            }
        } else if (treeMain_->DataBase()) {
            if (const auto item = treeMain_->SelectedItem()) {
                if (item->Level == 2) {
                    canDelete = true;
                    // Only a category's name can be edited; a start day has nothing to edit.
                    canEdit = mode == kViewCategories;
                }
                ShowInfo(item->Text);
            }
        }
    } else if (lstMainFiles_->SelectedItems().count() > 0 && lstMainFiles_->SelectedIndex() != -1) {
        canDelete = canEdit = canStart = true;
        ShowInfo(lstMainFiles_->FieldValue(nameField).text());
        InfoTag = -lstMainFiles_->FieldValue(idField).toLong();
        mCurrentFileType = lstMainFiles_->FieldValue(typeField).toLong();
    }
    // Nothing can be deleted from a catalogue open for reading only.
    if (goDB && goDB->IsReadOnly()) canDelete = false;
    mnuDel_->setEnabled(canDelete);
    mnuDetails_->setEnabled(canEdit);
    mnuNewCat_->setVisible(mode == kViewCategories);
    mnuNewCat_->setEnabled(goDB && !goDB->IsReadOnly());
    mnuStart_->menuAction()->setEnabled(canStart);
    mnuFilepath_->setEnabled(canStart);
    tbEdit_->setEnabled(canEdit);
    tbDel_->setEnabled(canDelete);
    tbStart_->setEnabled(canStart);
    lvStart_->setEnabled(canStart);
    // Every move of the selection comes here: the start list repaints only when its look changes.
    const uint32_t startBack = canStart ? kWindowColour : kButtonFaceColour;
    if (lvStart_->list()->BackColor() != startBack) {
        lvStart_->list()->setBackColor(startBack);
        lvStart_->list()->Redraw(-1, -1, true);
    }
    UpdatePreview();
}

void frmMain::ShowEditMenu()
{
    mnuEdit_->popup(QCursor::pos());
}

void frmMain::mnuHomepage_Click()
{
    QDesktopServices::openUrl(QUrl(HomepageAddress(!gtLanguageFile.isEmpty())));
}

} // namespace tv
