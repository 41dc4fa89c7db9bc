#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace tv {

// Folds a key for comparison without regard to case, umlauts included.
inline QString foldKey(const QString& key) { return key.toCaseFolded(); }

// The keyed collection used everywhere: ordered items, positions from 1, optional unique
// text keys compared without regard to case. Operations that the system lets fail
// (a duplicate key, a missing key, a position out of range) return false / nullptr.
template <class T>
class Collection {
public:
    int count() const { return int(items_.size()); }
    bool isEmpty() const { return items_.empty(); }

    // Adds an item; `before` / `after` are 1-based positions (0 = not given).
    // Fails when the key exists already or a position is out of range.
    bool add(T item, const QString& key = QString(), int before = 0, int after = 0)
    {
        if (!key.isEmpty() && keyExists(key)) return false;
        size_t pos = items_.size();
        if (before > 0) {
            if (before > count()) return false;
            pos = size_t(before - 1);
        } else if (after > 0) {
            if (after > count()) return false;
            pos = size_t(after);
        }
        items_.insert(items_.begin() + std::ptrdiff_t(pos), Entry{key, std::move(item)});
        return true;
    }

    bool keyExists(const QString& key) const { return indexOf(key) >= 0; }

    // 1-based position of a key, or 0.
    int position(const QString& key) const { return indexOf(key) + 1; }

    QString keyAt(int position) const
    {
        if (position < 1 || position > count()) return QString();
        return items_[size_t(position - 1)].key;
    }

    T* item(int position)
    {
        if (position < 1 || position > count()) return nullptr;
        return &items_[size_t(position - 1)].value;
    }
    const T* item(int position) const { return const_cast<Collection*>(this)->item(position); }
    T* item(const QString& key)
    {
        int i = indexOf(key);
        return i < 0 ? nullptr : &items_[size_t(i)].value;
    }
    const T* item(const QString& key) const { return const_cast<Collection*>(this)->item(key); }

    bool remove(int position)
    {
        if (position < 1 || position > count()) return false;
        items_.erase(items_.begin() + (position - 1));
        return true;
    }
    bool remove(const QString& key)
    {
        int i = indexOf(key);
        if (i < 0) return false;
        items_.erase(items_.begin() + i);
        return true;
    }
    void clear() { items_.clear(); }

    // Iteration over the values in order.
    struct Entry {
        QString key;
        T value;
    };
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    int indexOf(const QString& key) const
    {
        if (key.isEmpty()) return -1;
        const QString f = foldKey(key);
        for (size_t i = 0; i < items_.size(); ++i)
            if (!items_[i].key.isEmpty() && foldKey(items_[i].key) == f) return int(i);
        return -1;
    }

    std::vector<Entry> items_;
};

// The system's free helpers over a collection.
template <class T>
bool CollectionKeyExists(const Collection<T>& c, const QString& key) { return c.keyExists(key); }
template <class T>
QString CollectionKeyAt(const Collection<T>& c, int position) { return c.keyAt(position); }

} // namespace tv
