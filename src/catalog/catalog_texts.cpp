#include "catalog/catalog_texts.h"

namespace tidora::catalog {

QString GetRegimeItemsText(int aRegime) {
    switch (aRegime) {
        case 0:
            return QString();
        case 1:
            return QStringLiteral("1,2,10,12,50,52,100,108,109,110");
        case 2:
            return QStringLiteral(
                "1,2,3,4,5,10,11,12,50,52,53,54,76,100,101,106,107,108,109,110,112,114");
        case 3:
        case 10:
            return QStringLiteral(
                "1,2,3,4,5,10,11,12,13,14,15,16,17,18,50,51,52,53,54,55,70,71,72,73,74,75,76,100,"
                "101,102,103,104,105,106,107,108,109,110,111,112,113,114,115");
        case 4:
            return QStringLiteral(
                "1,2,3,4,5,10,11,12,13,14,16,17,18,50,51,52,53,54,72,73,74,75,76,100,101,102,103,"
                "104,105,106,107,108,109,110,111,112,113,114,115");
        default:
            return QStringLiteral("*");
    }
}

bool GetRegimeItemsList(int aRegime, QStringList& AList) {
    AList.clear();
    const QString text = GetRegimeItemsText(aRegime);
    if (text == QLatin1String("*")) {
        return false;
    }
    if (!text.isEmpty()) {
        AList = text.split(QLatin1Char(','));
    }
    return true;
}

int DetectRegime(const TCleanItemsTable& ADS) {
    for (int regime : {10, 4, 3, 2, 1}) {
        QStringList ids;
        if (!GetRegimeItemsList(regime, ids)) {
            continue;
        }
        bool matches = true;
        for (const TCleanItemParams& row : ADS.rows()) {
            if (row.ID > 0 && ids.contains(QString::number(row.ID)) != row.ACTIVE) {
                matches = false;
                break;
            }
        }
        if (matches) {
            return regime;
        }
    }
    return 0;
}

QString GetRegimeName(int aRegime) {
    switch (aRegime) {
        case 0:
            return QStringLiteral("Настройки пользователя");
        case 1:
            return QStringLiteral("Быстрая очистка");
        case 2:
            return QStringLiteral("Оптимальная очистка");
        case 3:
        case 10:
            return QStringLiteral("Полная очистка");
        case 4:
            return QStringLiteral("Настройки пользователя(у)");
        default:
            return QStringLiteral("Режим очистки не определен");
    }
}

QString GetItemStateText(int aState) {
    switch (aState) {
        case 1:
            return QStringLiteral("Идет анализ");
        case 2:
            return QStringLiteral("Анализ прерван");
        case 3:
            return QStringLiteral("Анализ завершен");
        case 5:
            return QStringLiteral("Идет очистка");
        case 6:
            return QStringLiteral("Прервано");
        case 7:
            return QStringLiteral("Очистка выполнена");
        default:
            return QString();
    }
}

QString GetRowStateText(int aKind, int aState) {
    if (aKind == 0) {
        switch (aState) {
            case 1:
                return QStringLiteral("Файл помечен на удаление");
            case 2:
                return QStringLiteral("Файл успешно удален");
            case 3:
                return QStringLiteral("Ошибка удаления файла");
            case 4:
                return QStringLiteral("Недостаточно прав доступа");
        }
    } else if (aKind == 1) {
        switch (aState) {
            case 1:
                return QStringLiteral("Запись помечена на удаление");
            case 2:
                return QStringLiteral("Запись удалена");
            case 3:
                return QStringLiteral("Ошибка удаления записи реестра");
            case 4:
                return QStringLiteral("Недостаточно прав доступа");
        }
    }
    return QString();
}

}  // namespace tidora::catalog
