#include "store/work_area.h"

#include "store/area_orders.h"
#include "store/file_handle.h"

#include <array>

namespace kesp::store::areas {

Registry& Areas() {
    static Registry registry;
    return registry;
}

Area& CurrentArea() {
    return Areas().areas[Areas().current - 1];
}

void RaiseStoreFault(int subCode, const QString& description, const QString& operation,
                     const QString& fileName) {
    kesp::store::RaiseTableFault(subCode, description, fileName, operation);
}

Area& UsedArea(const char* operation) {
    Area& area = CurrentArea();
    if (!area.table)
        RaiseStoreFault(2001, QStringLiteral("Workarea not in use"),
                        QString::fromLatin1(operation));
    return area;
}

namespace {

int FindAreaNumber(const QString& areaOrAlias) {
    const QString name = areaOrAlias.trimmed();
    if (name.size() == 1 && name.at(0).isLetter()) {
        const int letter = name.at(0).toLower().unicode() - u'a' + 1;
        // "a".."j" are the areas 1..10 unless a table carries that alias.
        for (int i = 0; i < kMaxAreas; ++i) {
            if (Areas().areas[i].table &&
                Areas().areas[i].alias.compare(name, Qt::CaseInsensitive) == 0) {
                return i + 1;
            }
        }
        if (letter >= 1 && letter <= 10) return letter;
    }
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    if (isNumber && number >= 0 && number <= kMaxAreas) return number;
    for (int i = 0; i < kMaxAreas; ++i) {
        if (Areas().areas[i].table &&
            Areas().areas[i].alias.compare(name, Qt::CaseInsensitive) == 0) {
            return i + 1;
        }
    }
    return -1;
}

}  // namespace

int AreaNumberOf(const QString& areaOrAlias, bool raise) {
    // Windows select their few work areas by alias at every step: the last
    // answers hold until a table opens or closes.
    struct Remembered {
        QString name;
        std::uint64_t generation = ~std::uint64_t{0};
        int number = 0;
    };
    static std::array<Remembered, 4> remembered;
    static std::size_t next = 0;
    const std::uint64_t generation = Areas().generation;
    for (const Remembered& known : remembered) {
        if (known.generation == generation && known.name == areaOrAlias) return known.number;
    }
    const int number = FindAreaNumber(areaOrAlias);
    if (number < 0) {
        if (raise)
            RaiseStoreFault(1002, QStringLiteral("Alias does not exist"), areaOrAlias.trimmed());
        return -1;
    }
    remembered[next] = {areaOrAlias, generation, number};
    next = (next + 1) % remembered.size();
    return number;
}

int LowestFreeArea() {
    for (int i = 0; i < kMaxAreas; ++i) {
        if (!Areas().areas[i].table) return i + 1;
    }
    RaiseStoreFault(1005, QStringLiteral("No free workarea"), QStringLiteral("DBUSEAREA"));
}

int NumberOf(const Area& area) {
    return static_cast<int>(&area - Areas().areas.data()) + 1;
}

void CommitArea(Area& area) {
    try {
        area.table->Commit();
    } catch (const kesp::WriteFailure&) {
        FollowRollBack(area);
        throw;
    }
}

void CloseArea(Area& area) {
    if (!area.table) return;
    ++Areas().generation;
    if (area.table->cutWhileOpen()) {
        area = Area{};
        return;
    }
    try {
        area.table->Commit();
        WriteIndexFiles(area, IndexWriting::AtClose);
    } catch (const kesp::WriteFailure&) {
        area = Area{};
        throw;
    }
    KeepOrdersPastClose(area);
    area = Area{};
}

}  // namespace kesp::store::areas
