#include "store/table_def.h"

namespace qly::store {

namespace {
constexpr QStringView kSeparator = u"\\!";
}

QString TableDef::dataFileName() const
{
    const qsizetype at = storeName.indexOf(kSeparator);
    return at < 0 ? storeName : storeName.first(at);
}

QString TableDef::tableName() const
{
    const qsizetype at = storeName.indexOf(kSeparator);
    return at < 0 ? storeName : storeName.sliced(at + kSeparator.size());
}

std::vector<OrderPart> KeyDef::orderParts() const
{
    std::vector<OrderPart> parts;
    parts.reserve(components.size() + tail.size());
    for (int field : components)
        parts.push_back({field, SortOrder::Ascending});
    parts.insert(parts.end(), tail.begin(), tail.end());
    return parts;
}

int TableDef::keyIndex(QStringView nameOrDescription) const
{
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyDef& key = keys[i];
        if (nameOrDescription.compare(key.name, Qt::CaseInsensitive) == 0 ||
            nameOrDescription.compare(key.description, Qt::CaseInsensitive) == 0 ||
            nameOrDescription.compare(QString(layout->prefix() + u':' + key.name),
                                      Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace qly::store
