#pragma once

#include "catalogue/core/moddatabase.h"
#include "platform/db/database.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

// Helpers shared by the fuzz targets: the input as text, and a small in-memory catalogue.

inline QString FuzzText(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A property a target checks: a failure is a finding, reported as a crash.
inline void FuzzCheck(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// Reads fixed-size values from the front of the input, zero when it runs out.
class FuzzReader {
public:
    FuzzReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    template <typename T> T take()
    {
        T value{};
        const size_t n = std::min(sizeof(T), size_ - pos_);
        std::memcpy(&value, data_ + pos_, n);
        pos_ += n;
        return value;
    }
    QString rest() const { return FuzzText(data_ + pos_, size_ - pos_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// One catalogue in memory with the program's schema and a few rows, made on first use.
inline tv::Database& FuzzCatalogue()
{
    static std::shared_ptr<tv::Database> db = [] {
        tv::DbError e;
        auto d = tv::Database::Create(QStringLiteral(":memory:"), QByteArray(), &e);
        FuzzCheck(d != nullptr, "in-memory catalogue");
        for (const char* sql : tv::kCatalogueSchema) d->Execute(QString::fromLatin1(sql));
        for (const char* sql : {
                 "Insert Into Config (tItem, mConfig, tsCreated) Values ('Version', '1.0', 46000.5)",
                 "Insert Into Category (ID, tCategory) Values (1, 'Spiele'), (2, 'Ärger')",
                 "Insert Into MainFiles (tFile, tPath, tUnpackPath, iFileType, lSize, Category_ID, tsCreated) Values"
                 " ('Game #1.atr', '/a/Game #1.atr', Null, 1, 92176, 1, 46365.75),"
                 " ('[x].xex', '/a/g.zip', 'x\\[x].xex', 11, 8000, Null, 1e300),"
                 " ('b?.cas', '/b/b?.cas', Null, 4, Null, 2, Null)",
                 "Insert Into History (MainFiles_ID, tsStarted) Values (1, 46365.75), (2, -1e300)"})
            d->Execute(QString::fromUtf8(sql));
        return d;
    }();
    return *db;
}
