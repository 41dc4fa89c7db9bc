#include "propertybag.h"

#include "platform/runtime/collection.h"

namespace tv {

bool SameValue(const Variant& a, const Variant& b)
{
    auto numeric = [](const Variant& v) { return v.isNumber() || v.isBool() || v.isDate(); };
    if (numeric(a) && numeric(b)) return a.toDouble() == b.toDouble();
    if (a.isObject() && b.isObject()) return a.toObject() == b.toObject();
    return a == b;
}

int PropertyBag::indexOf(const QString& key) const
{
    const QString folded = foldKey(key);
    for (size_t i = 0; i < entries_.size(); ++i)
        if (foldKey(entries_[i].key) == folded) return int(i);
    return -1;
}

Variant PropertyBag::ReadProperty(const QString& key, const Variant& defaultValue) const
{
    const int i = indexOf(key);
    return i < 0 ? defaultValue : entries_[size_t(i)].value;
}

void PropertyBag::WriteProperty(const QString& key, const Variant& value, const Variant& defaultValue)
{
    const int i = indexOf(key);
    if (SameValue(value, defaultValue)) {
        if (i >= 0) entries_.erase(entries_.begin() + i);
    } else if (i >= 0) {
        entries_[size_t(i)].value = value;
    } else {
        entries_.push_back({key, value});
    }
}

QStringList PropertyBag::keys() const
{
    QStringList out;
    for (const Entry& e : entries_) out += e.key;
    return out;
}

} // namespace tv
