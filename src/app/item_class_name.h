#pragma once

#include <QString>

namespace tidora::app {

// How the command-line tool names an item's class: 1 files, 2 registry, 3 other.
inline QString itemClassName(int type) {
    switch (type) {
        case 1:
            return QStringLiteral("files");
        case 2:
            return QStringLiteral("registry");
        default:
            return QStringLiteral("other");
    }
}

}  // namespace tidora::app
