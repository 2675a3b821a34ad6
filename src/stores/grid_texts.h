#pragma once

#include <QString>

#include <cstdint>

namespace tidora::stores {

enum class TGridView { Files, Registry, Programs };

// The caption of a column in a grid; empty for a column without one (the programs view's icon
// column has a single blank as its caption).
QString GridColumnCaption(TGridView view, const QString& column);

// What the STATE column of the files and the registry view shows.
QString FDQuery_SELFilesSTATEGetText(int64_t state);
QString FDQuery_SELRegsSTATEGetText(int64_t state);

}  // namespace tidora::stores
