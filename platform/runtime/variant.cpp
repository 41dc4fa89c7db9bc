#include "variant.h"

#include <cmath>
#include <limits>

namespace tv {

Object::~Object() = default;

namespace {

const QDate kEpoch(1899, 12, 30);

// Round half to even, as CLng/CInt do.
double roundHalfEven(double d)
{
    double r = std::nearbyint(d); // default FP mode rounds to nearest even
    return r;
}

bool parseNumber(const QString& s, double* out)
{
    QString t = s.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        qlonglong v = t.mid(2).toLongLong(&ok, 16);
        if (ok) *out = double(v);
        return ok;
    }
    double d = t.toDouble(&ok);
    // "inf" and "nan" are no numbers to the program, only to the C library.
    if (ok && std::isfinite(d)) { *out = d; return true; }
    return false;
}

} // namespace

Variant::Variant(const VariantArray& a) : v_(std::make_shared<VariantArray>(a)) {}

Variant Variant::fromDateTime(const QDateTime& dt)
{
    qint64 days = kEpoch.daysTo(dt.date());
    int secs = dt.time().msecsSinceStartOfDay() / 1000;
    double frac = secs / 86400.0;
    // Before the epoch the time part still counts forward from midnight (serial -1.25 is
    // 29 Dec 1899 06:00), so the fraction is subtracted from a negative day number.
    double serial = days >= 0 ? double(days) + frac : double(days) - frac;
    return fromDate(serial);
}

VarType Variant::type() const
{
    switch (v_.index()) {
    case 0: return VarType::Empty;
    case 1: return VarType::Null;
    case 2: return VarType::Boolean;
    case 3: return VarType::Integer;
    case 4: return VarType::Long;
    case 5: return VarType::Double;
    case 6: return VarType::Date;
    case 7: return VarType::String;
    case 8: return VarType::Object;
    case 9: return VarType::Array;
    case 10: return VarType::Byte;
    case 11: return VarType::Single;
    case 12: return VarType::Currency;
    case 13: return VarType::Error;
    }
    return VarType::Empty;
}

bool Variant::isNumber() const
{
    switch (type()) {
    case VarType::Integer: case VarType::Long: case VarType::Single: case VarType::Double:
    case VarType::Currency: case VarType::Byte:
        return true;
    default:
        return false;
    }
}

double Variant::toDouble(bool* ok) const
{
    if (ok) *ok = true;
    switch (type()) {
    case VarType::Empty: return 0;
    case VarType::Boolean: return std::get<bool>(v_) ? -1 : 0;
    case VarType::Integer: return std::get<int16_t>(v_);
    case VarType::Long: return std::get<int32_t>(v_);
    case VarType::Double: return std::get<double>(v_);
    case VarType::Date: return std::get<DateTag>(v_).serial;
    case VarType::Byte: return std::get<ByteTag>(v_).b;
    case VarType::Single: return std::get<SingleTag>(v_).f;
    case VarType::Currency: return std::get<CurrencyTag>(v_).c;
    case VarType::Error: return std::get<ErrorTag>(v_).code;
    case VarType::String: {
        const QString& s = std::get<QString>(v_);
        double d = 0;
        if (parseNumber(s, &d)) return d;
        QString t = s.trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return -1;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0;
        break;
    }
    default:
        break;
    }
    if (ok) *ok = false;
    return 0;
}

bool Variant::toBool(bool* ok) const
{
    bool good = true;
    double d = toDouble(&good);
    if (ok) *ok = good;
    return good && d != 0;
}

int32_t Variant::toLong(bool* ok) const
{
    bool good = true;
    double d = toDouble(&good);
    if (good) {
        d = roundHalfEven(d);
        if (std::isnan(d) || d < -2147483648.0 || d > 2147483647.0)
            good = false;
    }
    if (ok) *ok = good;
    return good ? int32_t(d) : 0;
}

int16_t Variant::toInt(bool* ok) const
{
    bool good = true;
    double d = toDouble(&good);
    if (good) {
        d = roundHalfEven(d);
        if (std::isnan(d) || d < -32768.0 || d > 32767.0)
            good = false;
    }
    if (ok) *ok = good;
    return good ? int16_t(d) : 0;
}

double Variant::toDate(bool* ok) const
{
    if (isString()) {
        const QString s = std::get<QString>(v_).trimmed();
        static const char* const kFormats[] = {
            "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy H:mm:ss", "d.M.yyyy H:mm:ss", "dd.MM.yyyy HH:mm",
            "d.M.yyyy H:mm", "dd.MM.yyyy", "d.M.yyyy", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss",
            "yyyy-MM-dd", "MM/dd/yyyy hh:mm:ss AP", "M/d/yyyy h:mm:ss AP", "MM/dd/yyyy", "M/d/yyyy",
        };
        for (const char* f : kFormats) {
            QDateTime dt = QDateTime::fromString(s, QLatin1String(f));
            if (dt.isValid()) {
                if (ok) *ok = true;
                return fromDateTime(dt).toDouble();
            }
        }
        QTime t = QTime::fromString(s, QLatin1String("H:mm:ss"));
        if (!t.isValid()) t = QTime::fromString(s, QLatin1String("H:mm"));
        if (t.isValid()) {
            if (ok) *ok = true;
            return t.msecsSinceStartOfDay() / 1000 / 86400.0;
        }
    }
    return toDouble(ok);
}

bool DateSerialParts(double serial, QDate* date, QTime* time)
{
    // Dates run from 1 Jan 100 to 31 Dec 9999; outside that (or for inf and NaN) there is no
    // date, and converting the day count to an integer would be undefined.
    if (!(std::isfinite(serial) && serial > kFirstDateSerial - 1 && serial < kLastDateSerial + 1)) return false;
    double dayPart = std::trunc(serial);
    double frac = std::fabs(serial - dayPart);
    qint64 secs = qint64(std::llround(frac * 86400.0));
    QDate d = kEpoch.addDays(qint64(dayPart));
    if (secs >= 86400) { d = d.addDays(1); secs -= 86400; }
    *date = d;
    *time = QTime(0, 0).addSecs(int(secs));
    return true;
}

QDateTime Variant::toDateTime(bool* ok) const
{
    bool good = true;
    const double serial = toDate(&good);
    QDate date;
    QTime time;
    good = good && DateSerialParts(serial, &date, &time);
    if (ok) *ok = good;
    if (!good) return {};
    return QDateTime(date, time);
}

QString Variant::toString(bool* ok) const
{
    if (ok) *ok = true;
    switch (type()) {
    case VarType::Empty: return QString();
    case VarType::String: return std::get<QString>(v_);
    case VarType::Boolean: return std::get<bool>(v_) ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Integer: case VarType::Long: case VarType::Byte: case VarType::Error:
        return QString::number(qlonglong(toDouble()));
    case VarType::Single:
        return QString::number(double(std::get<SingleTag>(v_).f), 'g', 7);
    case VarType::Double: case VarType::Currency: {
        double d = toDouble();
        if (d == 0) return QStringLiteral("0");
        return QString::number(d, 'g', 15);
    }
    case VarType::Date: {
        // From the day and the time themselves: a date in the local time zone costs a look at
        // the zone's rules for every cell of a list.
        double serial = std::get<DateTag>(v_).serial;
        QDate date;
        QTime time;
        if (!DateSerialParts(serial, &date, &time)) return QString();
        bool hasTime = time != QTime(0, 0);
        bool hasDate = std::trunc(serial) != 0;
        if (hasDate && hasTime)
            return date.toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
        if (hasTime) return time.toString(QStringLiteral("HH:mm:ss"));
        return date.toString(QStringLiteral("dd.MM.yyyy"));
    }
    default:
        break;
    }
    if (ok) *ok = false;
    return QString();
}

QString Variant::text() const
{
    if (isEmptyOrNull()) return QString();
    return toString();
}

std::shared_ptr<Object> Variant::toObject() const
{
    if (auto p = std::get_if<std::shared_ptr<Object>>(&v_)) return *p;
    return nullptr;
}

const VariantArray* Variant::array() const
{
    if (auto p = std::get_if<std::shared_ptr<VariantArray>>(&v_)) return p->get();
    return nullptr;
}

VariantArray* Variant::arrayMut()
{
    auto p = std::get_if<std::shared_ptr<VariantArray>>(&v_);
    if (!p) return nullptr;
    if (p->use_count() > 1) *p = std::make_shared<VariantArray>(**p);
    return p->get();
}

bool Variant::operator==(const Variant& o) const
{
    if (v_.index() != o.v_.index()) return false;
    if (isArray()) return *array() == *o.array();
    return v_ == o.v_;
}

// --- VariantArray ---

void VariantArray::redim(int lb, int ub)
{
    dims_ = 1;
    lb1_ = lb; ub1_ = ub; lb2_ = 0; ub2_ = -1;
    data_.assign(size_t(std::max(0, ub - lb + 1)), Variant());
}

void VariantArray::redim(int lb1, int ub1, int lb2, int ub2)
{
    dims_ = 2;
    lb1_ = lb1; ub1_ = ub1; lb2_ = lb2; ub2_ = ub2;
    data_.assign(size_t(std::max(0, ub1 - lb1 + 1)) * size_t(std::max(0, ub2 - lb2 + 1)), Variant());
}

void VariantArray::redimPreserve(int ubLast)
{
    if (dims_ <= 1) {
        if (dims_ == 0) { redim(0, ubLast); return; }
        ub1_ = ubLast;
        data_.resize(size_t(std::max(0, ub1_ - lb1_ + 1)));
        return;
    }
    // Row-major on the last dimension: element (i, j) lives at (j - lb2) * count1 + (i - lb1),
    // so growing the last dimension keeps every element in place.
    ub2_ = ubLast;
    data_.resize(size_t(std::max(0, ub1_ - lb1_ + 1)) * size_t(std::max(0, ub2_ - lb2_ + 1)));
}

Variant& VariantArray::at(int i) { return data_.at(size_t(i - lb1_)); }
const Variant& VariantArray::at(int i) const { return data_.at(size_t(i - lb1_)); }
Variant& VariantArray::at(int i, int j)
{
    return data_.at(size_t(j - lb2_) * size_t(ub1_ - lb1_ + 1) + size_t(i - lb1_));
}
const Variant& VariantArray::at(int i, int j) const
{
    return data_.at(size_t(j - lb2_) * size_t(ub1_ - lb1_ + 1) + size_t(i - lb1_));
}

} // namespace tv
