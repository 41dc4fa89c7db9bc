// The main window's answers to its lists: the sort column and stored layouts a list asks for,
// the texts of the coded file columns, and the drill-down list's columns following the tree.
#include "frmmain.h"
#include "columnstate.h"
#include "listcolumns.h"
#include "viewsql.h"

#include "catalogue/reports/reportview.h"
#include "catalogue/reports/simplereport.h"
#include "catalogue/tree/ctreeitem.h"
#include "catalogue/tree/usertree.h"
#include "controls/grid/columns.h"
#include "controls/grid/listview.h"
#include "platform/gui/modfont.h"

namespace tv {

namespace {

// Replaces a coded cell's value with its text (a size, a BASIC, model, OS or video code).
void FetchCodedText(const std::shared_ptr<vantile::Columns>& columns, int32_t col, Variant& value)
{
    if (!columns) return;
    const auto column = columns->Item(Variant(col));
    if (!column) return;
    if (const std::optional<QString> text = CodedColumnText(column->Key(), value)) value = Variant(*text);
}

} // namespace

void frmMain::ConnectLists()
{
    // Both lists open sorted by the file name, which type-ahead then searches: in the flat
    // list the first field after its hidden ones, in the drill-down levels the field after
    // the ID, the tree key and the hidden type and archive marks.
    lstMain_->FetchColumn.connect([](int16_t& column) { column = int16_t(FileNameField(2)); });
    lstMainFiles_->FetchColumn.connect([this](int16_t& column) { column = int16_t(lstMainFiles_->InvisibleCols() + 1); });
    lstMain_->FetchColumnLayout.connect([this](QString& layout) {
        const QString stored = mSettings.ListLayouts.value(GetLayoutIndex(ViewMode()));
        if (!stored.isEmpty()) layout = stored;
    });
    lstMain_->FetchContents.connect([this](int32_t, int32_t col, Variant& value, Variant&) {
        FetchCodedText(lstMain_->Columns(), col, value);
    });
    lstMainFiles_->FetchContents.connect([this](int32_t, int32_t col, Variant& value, Variant&) {
        FetchCodedText(lstMainFiles_->Columns(), col, value);
    });
}

void frmMain::FollowTreeNode()
{
    if (const auto item = treeMain_->SelectedItem()) {
        const bool autoRefresh = lstMain_->AutoRefresh();
        lstMain_->setAutoRefresh(false);
        // Moving to another level keeps the widths and order the user gave the columns.
        std::vector<ColumnState> saved;
        if (!InBuildView && lstMain_->CurLevel() != item->Level) saved = ReadColumnState(lstMain_->Columns().get());
        lstMain_->Synchronize(item);
        SetupFileColumns(lstMain_->Columns().get(), mSettings.ListLayouts.value(GetLayoutIndex(ViewMode())),
                         lstMain_->grid()->Font()->toQFont());
        if (!saved.empty()) ApplyColumnState(lstMain_->Columns().get(), saved, true);
        lstMain_->setAutoRefresh(autoRefresh);
    }
}

} // namespace tv
