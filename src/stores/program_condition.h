#pragma once

#include <QString>

#include "stores/program_record.h"
#include "stores/sql_condition.h"

namespace tidora::stores {

// The stored row of a program with that name, and that version when the record has one; empty
// without a name.
TSqlCondition ProgramNameCondition(const TProgram& record);
// The stored row a record names: by Id when above 0, else by name and version.
TSqlCondition ProgramCondition(const TProgram& record);
// A search by the listed fields, in the order given: "ProgIcoSign" (equal), "ProgName" (equal),
// "ProgCmd" (holds every comma-separated fragment of Command; skipped when Command is empty).
// Other names are skipped.
TSqlCondition ProgramSearchCondition(const QString& fieldNames, const TProgram& record);

}  // namespace tidora::stores
