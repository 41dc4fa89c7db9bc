#pragma once

#include "platform/runtime/variant.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tv {

// Creates controls and objects by class name ("Vantile.ListView"), in place of activation by
// class identifier. A library registers a creator per class it offers, once at start-up;
// hosts then create instances by name. Names are matched without regard to case.
// One global factory serves the program (ClassFactory::global()); tests may make their own.
class ClassFactory {
public:
    using Creator = std::function<std::shared_ptr<Object>()>;

    static ClassFactory& global();

    // False (and nothing changes) when the name is empty, the creator is empty or the name
    // is taken.
    bool registerClass(const QString& className, Creator creator);
    bool isRegistered(const QString& className) const { return find(className) != nullptr; }
    // nullptr for an unknown name or when the creator gives nothing.
    std::shared_ptr<Object> create(const QString& className) const;

private:
    struct Entry {
        QString name;
        Creator creator;
    };
    const Entry* find(const QString& className) const;
    std::vector<Entry> entries_;
};

// Shorthands on the global factory.
inline bool RegisterObjectClass(const QString& className, ClassFactory::Creator creator)
{
    return ClassFactory::global().registerClass(className, std::move(creator));
}
inline std::shared_ptr<Object> CreateObject(const QString& className)
{
    return ClassFactory::global().create(className);
}
template <class T>
std::shared_ptr<T> CreateObjectAs(const QString& className)
{
    return std::dynamic_pointer_cast<T>(CreateObject(className));
}

} // namespace tv
