// The grid's column layout text, applied to a set of columns and written again.
#include "fuzzinput.h"

#include "controls/grid/column.h"
#include "controls/grid/columns.h"

namespace {

// The columns of a file list: the always-hidden key first, as the program adds them, and an
// optional column hidden between the shown ones, as a stored layout leaves it. A hidden column
// after a moved one is where a layout could lose places ("Path!Fixed=2", "Typ!Fixed=1").
std::shared_ptr<vantile::Columns> fileColumns()
{
    auto set = vantile::Columns::Create();
    for (const char* key : {"ID", "File", "Typ", "Path", "Memo", "Size"}) set->Add(QString::fromLatin1(key));
    set->Item(tv::Variant(QStringLiteral("ID")))->SetHidden(vantile::vtlHiddenAllways);
    set->Item(tv::Variant(QStringLiteral("Memo")))->SetHidden(vantile::vtlHiddenCurrently);
    return set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto set = fileColumns();
    set->SetLayout(FuzzText(data, size));
    const QString written = set->Layout();
    // No layout moves the always-hidden key column to another group or shows it.
    const auto id = set->Item(tv::Variant(QStringLiteral("ID")));
    FuzzCheck(id->Fixed() == vantile::vtlGrpCenter && id->Hidden() == vantile::vtlHiddenAllways,
              "always-hidden column in place");
    // A written layout applied to a new set of the same columns gives the same layout.
    auto copy = fileColumns();
    copy->SetLayout(written);
    FuzzCheck(copy->Layout() == written, "layout round trip");
    return 0;
}
