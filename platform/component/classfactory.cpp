#include "classfactory.h"

#include "platform/runtime/collection.h"

namespace tv {

ClassFactory& ClassFactory::global()
{
    static ClassFactory factory;
    return factory;
}

const ClassFactory::Entry* ClassFactory::find(const QString& className) const
{
    const QString folded = foldKey(className);
    for (const Entry& e : entries_)
        if (foldKey(e.name) == folded) return &e;
    return nullptr;
}

bool ClassFactory::registerClass(const QString& className, Creator creator)
{
    if (className.isEmpty() || !creator || find(className)) return false;
    entries_.push_back({className, std::move(creator)});
    return true;
}

std::shared_ptr<Object> ClassFactory::create(const QString& className) const
{
    const Entry* e = find(className);
    return e ? e->creator() : nullptr;
}

} // namespace tv
