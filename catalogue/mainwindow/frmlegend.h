#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <functional>

namespace tv {

// The compare symbols of the selection window and their meanings ("X" "keine Bedingung", ...),
// untranslated, in the order the legend shows them.
const QList<QPair<QString, QString>>& CompareSymbols();

// The symbol legend of the selection window (caption "Info").
class frmLegend : public QDialog {
    Q_OBJECT
public:
    explicit frmLegend(QWidget* parent = nullptr);

protected:
    void done(int result) override;
};

// Shows the legend modally; tests replace the showing through the hook.
using LegendHook = std::function<void()>;
void SetLegendHook(LegendHook hook);
void ShowLegend(QWidget* owner);

} // namespace tv
