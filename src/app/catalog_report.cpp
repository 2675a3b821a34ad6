#include "app/catalog_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/item_class_name.h"
#include "catalog/catalog_items.h"
#include "catalog/catalog_texts.h"
#include "catalog/clean_items_table.h"
#include "catalog/clean_paths.h"
#include "catalog/item_paths.h"

namespace tidora::app {

namespace {

using catalog::TCleanItemParams;
using catalog::TCleanPathRow;

struct ItemReport {
    TCleanItemParams params;
    QString mask;
    bool offered = false;
    std::vector<TCleanPathRow> entries;
};

QString stateName(int state) {
    switch (state) {
        case 1:
            return QStringLiteral("exists");
        case 2:
            return QStringLiteral("missing");
        default:
            return QStringLiteral("not tested");
    }
}

QStringList regimesOf(int id) {
    QStringList regimes;
    for (int regime : {1, 2, 3, 4}) {
        QStringList ids;
        if (catalog::GetRegimeItemsList(regime, ids) && ids.contains(QString::number(id))) {
            regimes.append(QString::number(regime));
        }
    }
    return regimes;
}

// Defines every item the way the clean group does when it loads them: other items never ask for
// a search definition, and items left without search entries are not offered.
std::vector<ItemReport> defineItems(platform::Machine& machine) {
    catalog::TCleanItemsTable table;
    catalog::FillDefaultItems(table);
    catalog::TCleanPaths_DM paths;
    std::vector<ItemReport> items;
    for (const TCleanItemParams& row : table.rows()) {
        ItemReport item{row, QStringLiteral("*.*"), true, {}};
        if (row.TYPE == 1 || row.TYPE == 2) {
            QStringList except;
            QStringList list;
            item.offered = catalog::DefineItemPaths(machine, &paths, row.ACTION_ID, row.CAT_ID,
                                                    row.ID, item.mask, except, list);
            catalog::RegisterItemName(&paths, row.CAT_ID, row.ID, row.LAT_NAME);
        }
        items.push_back(std::move(item));
    }
    for (const TCleanPathRow& entry : paths.RowsByCleanId()) {
        for (ItemReport& item : items) {
            if (item.params.ID == entry.CLEAN_ID && item.params.CAT_ID == entry.CAT_ID) {
                item.entries.push_back(entry);
            }
        }
    }
    return items;
}

void writeText(const std::vector<ItemReport>& items, std::ostream& out) {
    const catalog::CatalogOSVariables& os = catalog::CatalogOS();
    out << "Windows " << os.OSMajorVersion << '.' << os.OSMinorVersion << " (version code "
        << os.WinVersionCode << "), " << os.OSArchText.toStdString() << ", " << items.size()
        << " items\n"
        << "Folders are tested for existence; keys are listed only when present; names and\n"
        << "placeholder entries are not tested.\n";
    for (const ItemReport& item : items) {
        const TCleanItemParams& p = item.params;
        const QStringList regimes = regimesOf(p.ID);
        out << '\n'
            << '[' << p.ID << "] " << p.LAT_NAME.toStdString() << " \"" << p.CAPTION.toStdString()
            << "\": " << itemClassName(p.TYPE).toStdString() << ", " << (p.ACTIVE ? "on" : "off")
            << " by default, regimes "
            << (regimes.isEmpty() ? QStringLiteral("none") : regimes.join(u',')).toStdString();
        if (p.TYPE == 1) {
            out << ", mask " << item.mask.toStdString();
        }
        out << '\n';
        if (p.TYPE == 3) {
            out << "  works without a search definition\n";
            continue;
        }
        for (const TCleanPathRow& e : item.entries) {
            out << "  " << (e.EX_FLAG ? "exclude " : "search  ") << e.VALUE.toStdString() << "  ["
                << stateName(e.STATE).toStdString() << "]\n";
        }
        if (!item.offered) {
            out << "  not offered: nothing to search on this machine\n";
        }
    }
}

void writeJson(const std::vector<ItemReport>& items, std::ostream& out) {
    const catalog::CatalogOSVariables& os = catalog::CatalogOS();
    QJsonArray itemsJson;
    for (const ItemReport& item : items) {
        const TCleanItemParams& p = item.params;
        QJsonArray entries;
        for (const TCleanPathRow& e : item.entries) {
            entries.append(QJsonObject{
                {QStringLiteral("list"),
                 e.EX_FLAG ? QStringLiteral("exclude") : QStringLiteral("search")},
                {QStringLiteral("value"), e.VALUE},
                {QStringLiteral("state"), stateName(e.STATE)},
            });
        }
        QJsonArray regimes;
        for (const QString& r : regimesOf(p.ID)) {
            regimes.append(r.toInt());
        }
        QJsonObject o{
            {QStringLiteral("id"), p.ID},
            {QStringLiteral("latName"), p.LAT_NAME},
            {QStringLiteral("caption"), p.CAPTION},
            {QStringLiteral("class"), itemClassName(p.TYPE)},
            {QStringLiteral("category"), p.CAT_ID},
            {QStringLiteral("active"), p.ACTIVE},
            {QStringLiteral("regimes"), regimes},
            {QStringLiteral("offered"), item.offered},
            {QStringLiteral("entries"), entries},
        };
        if (p.TYPE == 1) {
            o[QStringLiteral("mask")] = item.mask;
        }
        itemsJson.append(o);
    }
    const QJsonObject root{
        {QStringLiteral("windows"), QJsonObject{{QStringLiteral("major"), os.OSMajorVersion},
                                                {QStringLiteral("minor"), os.OSMinorVersion},
                                                {QStringLiteral("versionCode"), os.WinVersionCode},
                                                {QStringLiteral("arch"), os.OSArchText}}},
        {QStringLiteral("items"), itemsJson},
    };
    out << QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

void writeCatalogReport(platform::Machine& machine, std::ostream& out, bool json) {
    catalog::SetCatalogOS(machine);
    const std::vector<ItemReport> items = defineItems(machine);
    if (json) {
        writeJson(items, out);
    } else {
        writeText(items, out);
    }
}

}  // namespace tidora::app
