// The main window's search: the boxes of the search pane narrow the view by file name and path
// once typing pauses.
#include "frmmain.h"
#include "searchpane.h"
#include "searchtext.h"
#include "viewsql.h"

#include "catalogue/reports/reportview.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "platform/gui/systimer.h"

namespace tv {

void frmMain::BuildSearchPane()
{
    search_ = new SearchPane(fraMain_);
    search_->SearchRequested.connect([this] { moTimer_Timer(); });
    search_->StopRequested.connect([this] { cmdStopSearch_Click(); });
}

void frmMain::moTimer_Timer()
{
    // One search per pause: the timer is started again only by the next change.
    search_->moTimer()->setEnabled(false);
    if (!search_->SearchEnabled() || !SearchDue(search_->Texts(), SearchTexts)) return;
    search_->AddHistory();
    if (ViewMode() == kViewCategories || ViewMode() == kViewHistory) {
        // The node chosen in the tree stays chosen, and the list follows it.
        const auto node = treeMain_->SelectedItem();
        lstMain_->setAutoRefresh(false);
        BuildView(0);
        if (node && node->Level != 1 && treeMain_->SelectItem(node->Key, node->Level)) treeMain_SelectionChange();
        lstMain_->setAutoRefresh(true);
    } else {
        BuildView(0);
    }
}

void frmMain::cmdStopSearch_Click()
{
    if (!search_->HasSearchText()) return;
    search_->ResetSearch();
    moTimer_Timer();
}

} // namespace tv
