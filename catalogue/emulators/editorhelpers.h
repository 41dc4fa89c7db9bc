#pragma once

#include <QString>
#include <QTreeWidgetItem>
#include <functional>

class QComboBox;
class QDialog;

namespace tv {

// Shows a filled editor window; the default runs its modal loop. Callers that drive the
// editors unseen (tests) put their own here.
using ShowModalFn = std::function<void(QDialog&)>;
void RunModal(QDialog& dialog, const ShowModalFn& show);

// Selects the first drop-down entry equal to `text` (exact, case-sensitive), appending it
// when there is none, and shows it as the combo's text.
void SelectComboText(QComboBox* box, const QString& text);

// The tree windows' root caption: the translation of "Emulatoren", first letter upper-case.
QString EmulatorsRootText();

// A node of the tree windows whose siblings sort by caption without regard to case, as the
// program's other caption lists do ("alpha", "beta", "Start", "Zeta").
class CaptionItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override;
};

} // namespace tv
