#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace tv {

// Type codes of a Variant. The numbers are the ones the system's stored data and callers
// compare against (VarType), so never renumber them.
enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,   // 16-bit
    Long = 3,      // 32-bit
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,      // date serial: days since 30 Dec 1899
    String = 8,
    Object = 9,
    Error = 10,
    Boolean = 11,
    Byte = 17,
    Array = 8192,
};

// Base of every object that a Variant can hold. Objects are shared, never copied.
class Object {
public:
    virtual ~Object();
};

class VariantArray;

// The date serials of the first (1 Jan 100) and the last day (31 Dec 9999) a date may have.
inline constexpr double kFirstDateSerial = -657434;
inline constexpr double kLastDateSerial = 2958465;

// The calendar day and the time of day (to the second) of a date serial, as written, with no
// time zone; false when the serial is no date.
bool DateSerialParts(double serial, QDate* date, QTime* time);

// The dynamic value of the system: Empty, Null, numbers, dates, texts, objects and arrays.
// Arrays are values: copying a Variant copies its array lazily (copy on write).
class Variant {
public:
    Variant() = default;
    Variant(bool v) : v_(v) {}
    Variant(int16_t v) : v_(v) {}
    Variant(int32_t v) : v_(v) {}
    Variant(int64_t v) = delete;   // no 64-bit type in the system: pick Long or Double
    Variant(double v) : v_(v) {}
    Variant(const char* s) : v_(QString::fromUtf8(s)) {}
    Variant(const QString& s) : v_(s) {}
    Variant(QString&& s) : v_(std::move(s)) {}
    Variant(std::shared_ptr<Object> o) : v_(std::move(o)) {}
    Variant(const VariantArray& a);

    static Variant null() { Variant v; v.v_ = NullTag{}; return v; }
    static Variant fromDate(double serial) { Variant v; v.v_ = DateTag{serial}; return v; }
    static Variant fromDateTime(const QDateTime& dt);
    static Variant fromByte(uint8_t b) { Variant v; v.v_ = ByteTag{b}; return v; }
    static Variant fromSingle(float f) { Variant v; v.v_ = SingleTag{f}; return v; }
    static Variant fromCurrency(double c) { Variant v; v.v_ = CurrencyTag{c}; return v; }
    static Variant error(int32_t code) { Variant v; v.v_ = ErrorTag{code}; return v; }

    VarType type() const;
    bool isEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool isNull() const { return std::holds_alternative<NullTag>(v_); }
    bool isEmptyOrNull() const { return isEmpty() || isNull(); }
    bool isString() const { return std::holds_alternative<QString>(v_); }
    bool isNumber() const;   // Integer, Long, Single, Double, Currency, Byte (Boolean excluded)
    bool isDate() const { return std::holds_alternative<DateTag>(v_); }
    bool isObject() const { return std::holds_alternative<std::shared_ptr<Object>>(v_); }
    bool isArray() const { return std::holds_alternative<std::shared_ptr<VariantArray>>(v_); }
    bool isBool() const { return std::holds_alternative<bool>(v_); }

    // Conversions with the system's coercion rules. `ok` (when given) turns false on a type
    // mismatch or overflow; the returned value is then 0 / empty.
    bool toBool(bool* ok = nullptr) const;
    int16_t toInt(bool* ok = nullptr) const;      // CInt: rounds half to even
    int32_t toLong(bool* ok = nullptr) const;     // CLng: rounds half to even
    double toDouble(bool* ok = nullptr) const;    // CDbl
    double toDate(bool* ok = nullptr) const;      // CDate as a serial
    QDateTime toDateTime(bool* ok = nullptr) const;
    QString toString(bool* ok = nullptr) const;   // CStr; Null gives "" with ok=false
    // The text a caller shows: like toString, but Null and Empty give "".
    QString text() const;

    std::shared_ptr<Object> toObject() const;
    template <class T>
    std::shared_ptr<T> as() const { return std::dynamic_pointer_cast<T>(toObject()); }

    const VariantArray* array() const;
    VariantArray* arrayMut();   // detaches a shared array before it is changed

    // Strict equality of type and value (for tests and containers); the system's "="
    // comparison with its coercions is Compare() in convert.h.
    bool operator==(const Variant& o) const;
    bool operator!=(const Variant& o) const { return !(*this == o); }

private:
    struct NullTag { bool operator==(const NullTag&) const { return true; } };
    struct DateTag { double serial; bool operator==(const DateTag&) const = default; };
    struct ByteTag { uint8_t b; bool operator==(const ByteTag&) const = default; };
    struct SingleTag { float f; bool operator==(const SingleTag&) const = default; };
    struct CurrencyTag { double c; bool operator==(const CurrencyTag&) const = default; };
    struct ErrorTag { int32_t code; bool operator==(const ErrorTag&) const = default; };
    std::variant<std::monostate, NullTag, bool, int16_t, int32_t, double, DateTag, QString,
                 std::shared_ptr<Object>, std::shared_ptr<VariantArray>, ByteTag, SingleTag,
                 CurrencyTag, ErrorTag>
        v_;
};

// A 1-D or 2-D array with arbitrary lower bounds. For 2-D arrays the first index is the
// column (field) and the second the row, as the grid's storage takes them.
class VariantArray {
public:
    VariantArray() = default;
    VariantArray(int lb, int ub) { redim(lb, ub); }
    VariantArray(int lb1, int ub1, int lb2, int ub2) { redim(lb1, ub1, lb2, ub2); }

    void redim(int lb, int ub);
    void redim(int lb1, int ub1, int lb2, int ub2);
    // ReDim Preserve: only the last dimension may change.
    void redimPreserve(int ubLast);

    int dims() const { return dims_; }
    int lbound(int dim = 1) const { return dim == 2 ? lb2_ : lb1_; }
    int ubound(int dim = 1) const { return dim == 2 ? ub2_ : ub1_; }
    int count(int dim = 1) const { return ubound(dim) - lbound(dim) + 1; }
    bool isAllocated() const { return dims_ > 0; }

    Variant& at(int i);
    const Variant& at(int i) const;
    Variant& at(int i, int j);
    const Variant& at(int i, int j) const;
    bool inBounds(int i) const { return dims_ == 1 && i >= lb1_ && i <= ub1_; }
    bool inBounds(int i, int j) const
    {
        return dims_ == 2 && i >= lb1_ && i <= ub1_ && j >= lb2_ && j <= ub2_;
    }

    bool operator==(const VariantArray& o) const = default;

private:
    int dims_ = 0;
    int lb1_ = 0, ub1_ = -1, lb2_ = 0, ub2_ = -1;
    std::vector<Variant> data_;
};

} // namespace tv
