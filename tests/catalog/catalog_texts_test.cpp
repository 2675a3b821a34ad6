#include "catalog/catalog_texts.h"

#include <gtest/gtest.h>

#include "fixtures/qstring_print.h"

#include "catalog/catalog_items.h"

namespace tidora::catalog {
namespace {

TCleanItemsTable defaults() {
    SetCatalogOS(true, 6, 1, 7);
    TCleanItemsTable table;
    FillDefaultItems(table);
    return table;
}

void selectOnly(TCleanItemsTable& table, const QStringList& ids) {
    for (TCleanItemParams& row : table.rows()) {
        row.ACTIVE = ids.contains(QString::number(row.ID));
    }
}

TEST(CatalogRegimes, DetectRegimeOfSelections) {
    TCleanItemsTable table = defaults();
    // Defaults select registry items nowhere and "CrashDamps" (13), which 1 and 2 lack.
    EXPECT_EQ(DetectRegime(table), 0);

    selectOnly(table, {"1", "2", "10", "12", "50", "52", "100", "108", "109", "110"});
    EXPECT_EQ(DetectRegime(table), 1);

    // Every item: regime 10 comes before 3, which has the same list.
    for (TCleanItemParams& row : table.rows()) {
        row.ACTIVE = true;
    }
    EXPECT_EQ(DetectRegime(table), 10);

    QStringList optimal;
    ASSERT_TRUE(GetRegimeItemsList(2, optimal));
    selectOnly(table, optimal);
    EXPECT_EQ(DetectRegime(table), 2);

    QStringList own;
    ASSERT_TRUE(GetRegimeItemsList(4, own));
    selectOnly(table, own);
    EXPECT_EQ(DetectRegime(table), 4);

    // One item more than regime 1 matches nothing.
    selectOnly(table, {"1", "2", "10", "12", "50", "52", "100", "108", "109", "110", "11"});
    EXPECT_EQ(DetectRegime(table), 0);
}

TEST(CatalogRegimes, ListsAndNames) {
    QStringList list{"stale"};
    EXPECT_FALSE(GetRegimeItemsList(7, list));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(GetRegimeName(7), "Режим очистки не определен");
    EXPECT_EQ(GetRegimeItemsText(7), "*");

    list = QStringList{"stale"};
    EXPECT_TRUE(GetRegimeItemsList(0, list));
    EXPECT_TRUE(list.isEmpty());

    EXPECT_TRUE(GetRegimeItemsList(1, list));
    EXPECT_EQ(list, (QStringList{"1", "2", "10", "12", "50", "52", "100", "108", "109", "110"}));
    EXPECT_EQ(GetRegimeItemsText(3), GetRegimeItemsText(10));
    EXPECT_EQ(GetRegimeName(10), "Полная очистка");
    EXPECT_EQ(GetRegimeName(4), "Настройки пользователя(у)");
}

TEST(CatalogTexts, ItemAndRowStates) {
    const std::pair<int, const char*> itemStates[] = {
        {0, ""}, {1, "Идет анализ"},  {2, "Анализ прерван"}, {3, "Анализ завершен"},
        {4, ""}, {5, "Идет очистка"}, {6, "Прервано"},       {7, "Очистка выполнена"},
        {8, ""},
    };
    for (const auto& [state, text] : itemStates) {
        EXPECT_EQ(GetItemStateText(state), QString::fromUtf8(text)) << state;
    }
    EXPECT_EQ(GetRowStateText(0, 2), "Файл успешно удален");
    EXPECT_EQ(GetRowStateText(1, 3), "Ошибка удаления записи реестра");
    EXPECT_EQ(GetRowStateText(1, 4), "Недостаточно прав доступа");
    EXPECT_EQ(GetRowStateText(0, 5), "");
    EXPECT_EQ(GetRowStateText(2, 1), "");
}

}  // namespace
}  // namespace tidora::catalog
