#pragma once

#include "platform/runtime/variant.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace tv {

// The stored design values of a control: keys (matched without regard to case) to values.
// A control writes each property with its default and reads it back with the same default,
// so a bag holds only what differs from the defaults and a missing key reads as its default.
// Values compare as values: numbers, dates and Booleans by number (a Long 1 equals an
// Integer 1), texts exactly, objects by identity.
// Owned by whoever persists the control (the window that places it); keys keep the order
// in which they were first written.
class PropertyBag {
public:
    Variant ReadProperty(const QString& key, const Variant& defaultValue = Variant()) const;
    // Stores the value, or removes the key when the value equals its default.
    void WriteProperty(const QString& key, const Variant& value,
                       const Variant& defaultValue = Variant());

    bool contains(const QString& key) const { return indexOf(key) >= 0; }
    int count() const { return int(entries_.size()); }
    QStringList keys() const;
    void clear() { entries_.clear(); }

private:
    struct Entry {
        QString key;
        Variant value;
    };
    int indexOf(const QString& key) const;
    std::vector<Entry> entries_;
};

// Equality as the bag applies it to a value and its default (see PropertyBag).
bool SameValue(const Variant& a, const Variant& b);

} // namespace tv
