// The run time's conversions: Format, Val, Str, CLng, dates and the comparison.
#include "fuzzinput.h"

#include "platform/runtime/convert.h"
#include "platform/runtime/format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReader in(data, size);
    const auto kind = in.take<uint8_t>();
    const auto number = in.take<double>();
    const auto year = in.take<int32_t>();
    const auto month = in.take<int32_t>();
    const auto day = in.take<int32_t>();
    const QString rest = in.rest();
    const QString pattern = rest.section(QChar(0), 0, 0);
    const QString text = rest.section(QChar(0), 1);

    tv::Variant value;
    switch (kind % 5) {
    case 0: value = tv::Variant(number); break;
    case 1: value = tv::Variant::fromDate(number); break;
    case 2: value = tv::Variant(text); break;
    case 3: value = tv::Variant(int32_t(year)); break;
    default: value = tv::Variant::null(); break;
    }
    (void)tv::Format(value, pattern);
    (void)tv::Format(tv::Variant(text), pattern);
    (void)tv::Val(text);
    (void)tv::Val(value);
    (void)tv::Str(value);
    (void)tv::IsNumeric(value);
    bool ok = false;
    (void)tv::CLng(value, &ok);
    (void)tv::CInt(tv::Variant(text), &ok);
    (void)value.toDate(&ok);
    (void)value.toDateTime(&ok);
    (void)value.toString();
    (void)tv::FromDateSerial(number);
    const double serial = tv::DateSerial(year, month, day);
    FuzzCheck(std::isnan(serial) || (serial >= tv::kFirstDateSerial && serial <= tv::kLastDateSerial), "DateSerial range");
    (void)tv::Compare(value, tv::Variant(text), Qt::CaseInsensitive);
    return 0;
}
