#include "stores/grid_texts.h"

#include <QStringView>
#include <limits>

#include "catalog/catalog_texts.h"

namespace tidora::stores {
namespace {

struct ColumnCaption {
    TGridView view;
    QStringView column;
    QStringView caption;
};

const ColumnCaption kCaptions[] = {
    {TGridView::Files, u"ID", u"№"},
    {TGridView::Files, u"NAME", u"Имя файла"},
    {TGridView::Files, u"SIZE", u"Размер"},
    {TGridView::Files, u"SIZESTR", u"Размер"},
    {TGridView::Files, u"DATE", u"Дата"},
    {TGridView::Files, u"STATE", u"Состояние"},
    {TGridView::Registry, u"ID", u"№"},
    {TGridView::Registry, u"HOMEKEY", u"Раздел"},
    {TGridView::Registry, u"HKSTR", u"Раздел"},
    {TGridView::Registry, u"NAME", u"Раздел (имя)"},
    {TGridView::Registry, u"VALUE", u"Значение"},
    {TGridView::Registry, u"W_VALUE", u"Значение"},
    {TGridView::Registry, u"STATE", u"Описание"},
    {TGridView::Programs, u"ProgID", u"н"},
    {TGridView::Programs, u"ProgName", u"Название"},
    {TGridView::Programs, u"ProgPublisher", u"Издатель"},
    {TGridView::Programs, u"ProgVersion", u"Версия"},
    {TGridView::Programs, u"ProgInstallDate", u"Установлена"},
    {TGridView::Programs, u"ProgSizeStr", u"Размер"},
    {TGridView::Programs, u"ProgSelect", u"Выбор"},
    {TGridView::Programs, u"ProgIco", u" "},
};

// A value beyond the code's range is no known state and shows nothing.
QString rowStateText(int kind, int64_t state) {
    if (state < std::numeric_limits<int>::min() || state > std::numeric_limits<int>::max()) {
        return {};
    }
    return catalog::GetRowStateText(kind, static_cast<int>(state));
}

}  // namespace

QString GridColumnCaption(TGridView view, const QString& column) {
    for (const ColumnCaption& entry : kCaptions) {
        if (entry.view == view && column.compare(entry.column, Qt::CaseInsensitive) == 0) {
            return entry.caption.toString();
        }
    }
    return {};
}

QString FDQuery_SELFilesSTATEGetText(int64_t state) {
    return rowStateText(0, state);
}

QString FDQuery_SELRegsSTATEGetText(int64_t state) {
    return rowStateText(1, state);
}

}  // namespace tidora::stores
