// The grid's column layout text, applied to a set of columns and written again.
#include "fuzzinput.h"

#include "controls/grid/column.h"
#include "controls/grid/columns.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto set = vantile::Columns::Create();
    for (const char* key : {"ID", "File", "Typ", "Size", "Path"}) set->Add(QString::fromLatin1(key));
    set->Item(tv::Variant(QStringLiteral("ID")))->SetHidden(vantile::vtlHiddenAllways);
    set->SetLayout(FuzzText(data, size));
    const QString written = set->Layout();
    // A written layout applied to a new set of the same columns gives the same layout.
    auto copy = vantile::Columns::Create();
    for (const char* key : {"ID", "File", "Typ", "Size", "Path"}) copy->Add(QString::fromLatin1(key));
    copy->Item(tv::Variant(QStringLiteral("ID")))->SetHidden(vantile::vtlHiddenAllways);
    copy->SetLayout(written);
    FuzzCheck(copy->Layout() == written, "layout round trip");
    return 0;
}
