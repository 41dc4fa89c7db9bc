// The main window's side of the selection window: the filter pane follows its changes.
#include "filtersql.h"
#include "frmmain.h"
#include "frmmainfilter.h"
#include "sidepane.h"

#include "catalogue/core/modlang.h"
#include "platform/gui/msgbox.h"

namespace tv {

QString frmMain::FilterImageKey(const clsFilter& selection) const
{
    static const QStringList typeKeys = {QStringLiteral("ATR"), QStringLiteral("COM"), QStringLiteral("EXE"),
                                         QStringLiteral("CAS"), QStringLiteral("PRO"), QStringLiteral("DCM"),
                                         QStringLiteral("BAS"), QStringLiteral("XFD"), QStringLiteral("BIN"),
                                         QStringLiteral("ROM"), QStringLiteral("XEX")};
    return FilterIconKey(selection, typeKeys);
}

void frmMain::WarnIgnoredConditions(const clsFilter& selection)
{
    if (WarnedSelections.contains(selection.id)) return;
    const QStringList ignored = IgnoredConditions(selection);
    if (ignored.isEmpty()) return;
    WarnedSelections << selection.id;
    MsgBox(Translate(QStringLiteral("Diese Bedingungen der Selektion „@1“ werden nicht angewandt, weil ihr Wert keine "
                                    "Zahl ist:"),
                     selection.Name)
               + QStringLiteral("\n\n") + ignored.join(QLatin1Char('\n')),
           vbExclamation, {}, this);
}

void frmMain::mnuFilter_Click()
{
    frmMainFilter window(this);
    window.FilterIndex = lvFilter_->Key(std::max(lvFilter_->CurrentRow(), 0));
    window.Filters = &mSettings.Filters;
    window.TypeImage = [this](const QString& key) { return TypeIcon(key); };
    window.Host.CreateFilter = [this](qint32 id) {
        const FilterPtr* selection = mSettings.Filters.item(QString::number(id));
        if (!selection) return;
        int row = lvFilter_->FindKey(id);
        if (row < 0) {
            QStringList names;
            for (int i = 0; i < lvFilter_->RowCount(); ++i) names << lvFilter_->Text(i);
            row = FilterRowPosition(names, FilterPaneText((*selection)->Name));
            lvFilter_->AddRow(FilterPaneText((*selection)->Name), id, FilterImageKey(**selection), row);
        }
        lvFilter_->SetCurrentRow(row);
        CurrentFilterKey = id;
        BuildView(0);
    };
    window.Host.RenameFilter = [this](qint32 id, const QString& paneText) {
        if (const int row = lvFilter_->FindKey(id); row >= 0) lvFilter_->SetText(row, paneText);
    };
    window.Host.RemoveFilter = [this](qint32 id) {
        const int row = lvFilter_->FindKey(id);
        if (row < 0) return;
        const bool current = lvFilter_->CurrentRow() == row;
        lvFilter_->RemoveRow(row);
        if (current) {
            lvFilter_->SetCurrentRow(0);
            CurrentFilterKey = 0;
            BuildView(0);
        }
    };
    window.InitForm();
    window.exec();
}

} // namespace tv
