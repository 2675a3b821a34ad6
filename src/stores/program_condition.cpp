#include "stores/program_condition.h"

#include <QStringList>

namespace tidora::stores {

TSqlCondition ProgramNameCondition(const TProgram& record) {
    TSqlCondition condition;
    if (!record.PrgName.isEmpty()) {
        condition.addEquals(QStringLiteral("ProgName"), record.PrgName);
        if (!record.PrgVersion.isEmpty()) {
            condition.addEquals(QStringLiteral("ProgVersion"), record.PrgVersion);
        }
    }
    return condition;
}

TSqlCondition ProgramCondition(const TProgram& record) {
    if (record.Id > 0) {
        TSqlCondition condition;
        condition.addEquals(QStringLiteral("ProgID"), int64_t{record.Id});
        return condition;
    }
    return ProgramNameCondition(record);
}

TSqlCondition ProgramSearchCondition(const QString& fieldNames, const TProgram& record) {
    TSqlCondition condition;
    for (const QString& field : fieldNames.split(u',')) {
        const QString name = field.trimmed();
        if (name == u"ProgIcoSign") {
            condition.addEquals(name, int64_t{record.prgIconSign});
        } else if (name == u"ProgName") {
            condition.addEquals(name, record.PrgName);
        } else if (name == u"ProgCmd" && !record.Command.isEmpty()) {
            for (const QString& fragment : record.Command.split(u',')) {
                condition.addContains(name, fragment);
            }
        }
    }
    return condition;
}

}  // namespace tidora::stores
