// The database combo box's record source, taken apart against a catalogue.
#include "fuzzinput.h"

#include "catalogue/reports/dbcombosource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::shared_ptr<tv::Database> shared(&FuzzCatalogue(), [](tv::Database*) {});
    (void)tv::SplitSelectList(FuzzText(data, size));
    if (size > 200) return 0;
    tv::DBComboSource source;
    source.DataBase = shared;
    source.RecordSource = FuzzText(data, size);
    source.ParseRecordSource();
    source.ApplyColumnVisibility();
    return 0;
}
