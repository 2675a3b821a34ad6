#include "stores/statistics.h"

#include <QDir>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>

#include <gtest/gtest.h>

#include "catalog/catalog_items.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/qstring_print.h"
#include "fixtures/recording_dialogs.h"
#include "fixtures/temp_dir.h"
#include "stores/item_scores.h"
#include "stores/report_lines.h"
#include "stores/statistics_file.h"
#include "stores/statistics_weights.h"

namespace tidora::stores {
namespace {

constexpr double kMiB = 1048576;

// Facts that make the machine coefficient exactly 1: a 2.5 GHz counter (0.5), a 200 GB disk
// (1) that is 85 % free (0.2), and the reference value 7000 (0.9).
const TMachineFacts kUnitFacts{2'500'000'000, 200000, 170000};
// The lowest and the highest coefficient a machine whose counter runs at 1 GHz can have.
const TMachineFacts kLowFacts{1'000'000'000, 4000, 3900};
const TMachineFacts kHighFacts{1'000'000'000, 500000, 10000};

// ---- Scores ----

TEST(StatisticsScores, CountRulesAtTheirSteps) {
    struct Case {
        int32_t id;
        int64_t count;
        double score;
    };
    const Case cases[] = {
        {1, 3000, 0.2}, {1, 10000, 0.5}, {1, 25000, 1},   {1, 1999, 0.1},   {70, 9, 0.08},
        {70, 100, 0.5}, {70, 500, 1},    {70, 501, 1},    {1, 0, 0},        {11, -5, 0},
        {15, 5, 0.3},   {15, 6, 0.31},   {2, 400, 1},     {4, 50, 0.05},    {54, 200, 0.302},
        {109, 99, 1},   {109, 20, 0.22}, {10, 100000, 1}, {10, 20000, 0.8}, {105, 200, 0.7},
        {12, 1, 1},     {114, 3, 1},     {999, 1, 1},     {999, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(GetCountScore(c.id, c.count), c.score, 1e-12) << c.id << " " << c.count;
    }
}

TEST(StatisticsScores, SizeRulesScaleWithTheMachineCoefficient) {
    struct Case {
        int32_t id;
        double mib;
        double pcc;
        double score;
    };
    const Case cases[] = {
        {14, 2000, 1, 1},  {14, 500, 1, 0.7},    {14, 999, 1, 0.9994}, {1, 50, 1, 0.35},
        {1, 50, 10, 0.1},  {11, 3000, 1, 0.845}, {15, 2, 1, 0.2},      {15, 2.5, 1, 0.35},
        {12, 0.001, 1, 1}, {4, 1, 1, 1},         {999, 1e-6, 1, 1},    {70, 200, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(GetSizeScore(c.id, c.mib * kMiB, c.pcc), c.score, 1e-12)
            << c.id << " " << c.mib << " MiB, c " << c.pcc;
    }
    // No size, or none that is a number, scores 0 for every item, known or not.
    for (const TItemWeights& w : EmbeddedItemWeights()) {
        EXPECT_EQ(GetSizeScore(w.ID, 0, 1), 0) << w.ID;
        EXPECT_EQ(GetSizeScore(w.ID, -1, 1), 0) << w.ID;
        EXPECT_EQ(GetSizeScore(w.ID, std::nan(""), 1), 0) << w.ID;
    }
    EXPECT_EQ(GetSizeScore(999, 0, 1), 0);
}

TEST(StatisticsScores, ItemScoreIsCappedBeforeTheItemWeight) {
    EXPECT_DOUBLE_EQ(GetItemScore(0.2, 0.1, 1, 2, 3), 1.2);
    EXPECT_DOUBLE_EQ(GetItemScore(0.5, 0.5, 1, 1, 2), 2);
    EXPECT_DOUBLE_EQ(GetItemScore(1, 1, 0, 0, 5), 0);
}

TEST(StatisticsScores, MachineCoefficientFromItsFacts) {
    struct Case {
        TMachineFacts facts;
        int32_t ref;
        double pcc;
    };
    const Case cases[] = {
        {kUnitFacts, 7000, 1.0},
        // Every sub-score at its lowest and at its highest: the bounds 0.34 and 1.75.
        {{500'000'000, 4000, 3800}, 4000, 0.34},
        {{3'000'000'000, 200000, 10000}, 9000, 1.75},
        {kLowFacts, 7000, 0.44},
        {kHighFacts, 7000, 1.575},
        // An unknown disk counts as all free and as the smallest.
        {{1'000'000'000, 0, 0}, 7000, (0.3 + 0.4 + 0.16 + 0.9) / 4},
        // 2999 MHz lies between the named speed steps; each step's bound belongs above it.
        {{2'999'000'000, 100000, 50000}, 5000, (1.2 + 0.5 + 1.6 + 0.9) / 4},
        {{1'999'999'999, 8001, 1500}, 8000, (2.4 + 0.4 + 0.8 + 0.9) / 4},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(CalcPCC(c.facts, c.ref), c.pcc, 1e-12)
            << c.facts.PerfFrequency << " " << c.facts.DiskTotalMB << " " << c.ref;
    }
}

TEST(StatisticsScores, MachineFactsComeFromThePrefix) {
    testing::TempDir tmp;
    testing::PrefixBuilder b(tmp / "prefix");
    b.fresh();
    const auto machine = b.openMachine();
    const TMachineFacts facts = ReadMachineFacts(*machine);
    EXPECT_GT(facts.PerfFrequency, 0);
    EXPECT_GT(facts.DiskTotalMB, 0);
    EXPECT_GE(facts.DiskFreeMB, 0);
    EXPECT_LE(facts.DiskFreeMB, facts.DiskTotalMB);
}

// ---- The module ----

catalog::TCleanItemParams item(int32_t id, int32_t type) {
    catalog::TCleanItemParams row;
    row.ID = id;
    row.TYPE = type;
    row.CAT_ID = 1;
    row.LAT_NAME = QStringLiteral("Item%1").arg(id);
    row.CAPTION = QStringLiteral("Пункт %1").arg(id);
    return row;
}

// What one item found in a run.
struct Finding {
    int64_t count = 0;
    double size = 0;
};

class Statistics : public ::testing::Test {
protected:
    Statistics() : saved(catalog::CatalogOS()) {}
    ~Statistics() override {
        catalog::SetCatalogOS(saved.Is64BitOS, saved.OSMajorVersion, saved.OSMinorVersion,
                              saved.WinVersionCode);
    }

    TcExpData_DM module(const TMachineFacts& facts = kUnitFacts) {
        return TcExpData_DM([facts] { return facts; }, dialogs);
    }

    // A result table as an analysis leaves it: one row per item of the run.
    static TCleanResultTable analysed(const std::map<int32_t, Finding>& findings) {
        TCleanResultTable table;
        for (const auto& [id, f] : findings) {
            table.append({.ID = id, .TYPE = 1, .A_COUNT = f.count, .A_SIZE = f.size});
        }
        return table;
    }

    const catalog::CatalogOSVariables saved;
    testing::RecordingDialogs dialogs;
};

TEST_F(Statistics, WithoutRowsThereIsNoCoefficient) {
    TcExpData_DM dm = module();
    EXPECT_EQ(dm.LastCoeff(), -1);
    EXPECT_EQ(dm.DataFilename(), "cExpData.ced");
    TCleanResultTable results = analysed({{11, {100, 1000}}});
    EXPECT_TRUE(dm.OpenAndFillData(0, &results));
    EXPECT_EQ(dm.FDMemTable_Exp().size(), 0);
    EXPECT_TRUE(dm.CopyResData(false));
    EXPECT_EQ(dm.FDMemTable_Exp().size(), 0);
    EXPECT_EQ(dm.CalcKoeffs(0), -1);
    EXPECT_EQ(dm.LastCoeff(), -1);
    EXPECT_DOUBLE_EQ(dm.LastPCC(), 1.0);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(Statistics, MissingTableOrResultsAreProgrammingErrors) {
    TcExpData_DM dm = module();
    const auto message = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const std::logic_error& e) {
            return std::string(e.what());
        }
        return std::string("no exception");
    };
    EXPECT_EQ(message([&] { dm.CalcKoeffs(0); }), "TcExpData_DM.CalcKoeffs dataset not open!");
    EXPECT_EQ(message([&] { dm.CopyResData(true); }),
              "TcExpData_DM.CopyResData - ResultMemTable Not assigned!");
    EXPECT_EQ(message([&] { dm.OpenAndFillData(1, nullptr); }),
              "TcExpData_DM.OperAndFillData - ResultMemTable Not assigned!");
}

TEST_F(Statistics, RowsFromItemsCarryNoWeightsAndGiveNoCoefficient) {
    catalog::TCleanItemsTable items;
    items.append(item(11, 1));
    items.append(item(100, 2));
    TCleanResultTable results = analysed({{11, {5000, 500 * kMiB}}, {100, {60, 0}}});
    TcExpData_DM dm = module();
    dm.OpenAndFillData(0, &results, &items);
    ASSERT_EQ(dm.FDMemTable_Exp().size(), 2);
    const TExpDataRow& row = dm.FDMemTable_Exp().rows()[1];
    EXPECT_EQ(row.ID, 100);
    EXPECT_EQ(row.TYPE, 2);
    EXPECT_EQ(row.CAT_ID, 1);
    EXPECT_EQ(row.LAT_NAME, "Item100");
    EXPECT_EQ(row.CAPTION, "Пункт 100");
    EXPECT_EQ(row.DELTA_DAYS, -1);
    EXPECT_EQ(row.K_P, 0);
    dm.CopyResData(false);
    EXPECT_EQ(dm.CalcKoeffs(0), -1);
    for (const TExpDataRow& r : dm.FDMemTable_Exp().rows()) {
        EXPECT_EQ(r.SIGN, 1);
        EXPECT_EQ(r.S_COUNT, 0) << r.ID;
        EXPECT_EQ(r.S_SIZE, 0) << r.ID;
        EXPECT_EQ(r.S_ALL, 0) << r.ID;
    }
}

TEST_F(Statistics, CopiesTheRunsFiguresWithoutTheFailures) {
    catalog::TCleanItemsTable items;
    for (int32_t id : {11, 13, 100, 14}) {
        items.append(item(id, id == 100 ? 2 : 1));
    }
    TCleanResultTable results;
    results.append({.ID = 11,
                    .TYPE = 1,
                    .A_COUNT = 10,
                    .A_ERRORS = 1,
                    .R_COUNT = 7,
                    .R_ERRORS = 2,
                    .A_SIZE = 1000,
                    .A_ERRSIZE = 100,
                    .R_SIZE = 700,
                    .R_ERRSIZE = 200});
    results.append({.ID = 100, .TYPE = 2, .A_COUNT = 4, .R_COUNT = 3});
    // More failures than entries: nothing was removed, not a negative amount.
    results.append({.ID = 14,
                    .TYPE = 1,
                    .A_COUNT = 1,
                    .A_ERRORS = 3,
                    .R_ERRORS = 3,
                    .A_SIZE = 10,
                    .A_ERRSIZE = 30,
                    .R_ERRSIZE = 30});
    TcExpData_DM dm = module();
    dm.OpenAndFillData(0, &results, &items);
    const auto& rows = dm.FDMemTable_Exp().rows();

    EXPECT_TRUE(dm.CopyResData(false));
    EXPECT_EQ(rows[0].RES_COUNT, 9);
    EXPECT_EQ(rows[0].RES_SIZE, 900);
    EXPECT_EQ(rows[0].SIGN, 1);
    EXPECT_EQ(rows[1].SIGN, 0);  // item 13 was not in the run
    EXPECT_EQ(rows[2].RES_COUNT, 4);
    EXPECT_EQ(rows[3].RES_COUNT, 0);

    // The cleaning's figures are the removed entries already, without the failures.
    EXPECT_TRUE(dm.CopyResData(true));
    EXPECT_EQ(rows[0].RES_COUNT, 7);
    EXPECT_EQ(rows[0].RES_SIZE, 700);
    EXPECT_EQ(rows[2].RES_COUNT, 3);
    EXPECT_EQ(rows[3].RES_COUNT, 0);
    EXPECT_EQ(rows[3].RES_SIZE, 0);
    EXPECT_EQ(rows[3].SIGN, 1);

    // The history takes each row's figures.
    EXPECT_EQ(dm.FDMemTable_Exp().HistExpDetails(),
              (std::vector<THistExpDetail>{
                  {1, 11, 7, 700, 1}, {1, 13, 0, 0, 0}, {2, 100, 3, 0, 1}, {1, 14, 0, 0, 1}}));
}

TEST_F(Statistics, CoefficientOfFixedFindings) {
    // ID, K_COUNT, K_SIZE, K_P and what the analysis found.
    struct Weighted {
        int32_t id;
        double kCount, kSize, kP;
        Finding found;
    };
    // 11: cs 0.2 + ss 0.4 -> 10 x 0.6; 100: cs 0.4 x 2 -> 4 x 0.8; 14: cs 1 + ss 1, capped -> 2 x
    // 1; 12 has no weight and does not count.
    const std::vector<Weighted> rows{
        {11, 1, 1, 10, {500, 30 * kMiB}},
        {100, 2, 0, 4, {20, 0}},
        {12, 5, 5, 0, {1, 0}},
        {14, 1, 1, 2, {2000, 2000 * kMiB}},
    };
    struct Case {
        const char* name;
        double kpMinLimit;
        bool nothingFound;
        double coefficient;
    };
    const Case cases[] = {
        {"findings", 0, false, (6 + 3.2 + 2) / 16},
        {"nothing found", 0, true, 0},
        {"only weights above 3", 3, false, (6 + 3.2) / 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        catalog::TCleanItemsTable items;
        std::map<int32_t, Finding> findings;
        for (const Weighted& w : rows) {
            items.append(item(w.id, 1));
            findings[w.id] = c.nothingFound ? Finding{} : w.found;
        }
        TCleanResultTable results = analysed(findings);
        TcExpData_DM dm = module();
        dm.OpenAndFillData(0, &results, &items);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            TExpDataRow& row = dm.FDMemTable_Exp().rows()[i];
            row.K_COUNT = rows[i].kCount;
            row.K_SIZE = rows[i].kSize;
            row.K_P = rows[i].kP;
        }
        dm.CopyResData(false);
        EXPECT_NEAR(dm.CalcKoeffs(c.kpMinLimit), c.coefficient, 1e-12);
        EXPECT_NEAR(dm.LastCoeff(), c.coefficient, 1e-12);
        const TExpDataRow& clipboard = dm.FDMemTable_Exp().rows()[2];
        EXPECT_EQ(clipboard.S_COUNT, 0);
        EXPECT_EQ(clipboard.S_ALL, 0);
        if (!c.nothingFound && c.kpMinLimit == 0) {
            const TExpDataRow& temp = dm.FDMemTable_Exp().rows()[0];
            EXPECT_NEAR(temp.S_COUNT, 0.2, 1e-12);
            EXPECT_NEAR(temp.S_SIZE, 0.4, 1e-12);
            EXPECT_NEAR(temp.S_ALL, 6, 1e-12);
        }
    }
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

TEST_F(Statistics, RowsOutsideTheRunKeepTheirScores) {
    catalog::TCleanItemsTable items;
    items.append(item(11, 1));
    items.append(item(13, 1));
    TCleanResultTable results = analysed({{11, {500, 30 * kMiB}}, {13, {3, kMiB}}});
    TcExpData_DM dm = module();
    dm.OpenAndFillData(0, &results, &items);
    for (TExpDataRow& row : dm.FDMemTable_Exp().rows()) {
        row.K_COUNT = 1;
        row.K_SIZE = 1;
        row.K_P = 1;
    }
    dm.CopyResData(false);
    dm.CalcKoeffs(0);
    const TExpDataRow before = dm.FDMemTable_Exp().rows()[1];
    EXPECT_NEAR(before.S_ALL, 0.4, 1e-12);

    results.rows().pop_back();
    dm.CopyResData(false);
    EXPECT_NEAR(dm.CalcKoeffs(0), 0.6, 1e-12);
    const TExpDataRow& after = dm.FDMemTable_Exp().rows()[1];
    EXPECT_EQ(after.SIGN, 0);
    EXPECT_EQ(after.S_ALL, before.S_ALL);
    EXPECT_EQ(after.S_COUNT, before.S_COUNT);
}

TEST_F(Statistics, CoefficientAboveOneIsReportedAndClamped) {
    // Only a negative weight admitted by a negative limit can push the sum past 1.
    catalog::TCleanItemsTable items;
    items.append(item(999, 1));
    items.append(item(11, 1));
    TCleanResultTable results = analysed({{999, {1, 0}}, {11, {0, 0}}});
    TcExpData_DM dm = module();
    dm.OpenAndFillData(0, &results, &items);
    auto& rows = dm.FDMemTable_Exp().rows();
    rows[0].K_COUNT = 1;
    rows[0].K_P = 1;
    rows[1].K_COUNT = 1;
    rows[1].K_P = -0.5;
    dm.CopyResData(false);
    EXPECT_EQ(dm.CalcKoeffs(-1), 1);
    EXPECT_EQ(dm.LastCoeff(), 1);
    EXPECT_EQ(dialogs.warnings, QStringList{" TcExpData_DM.CalcKoeffs -> Result=2 not correct!"});
}

// ---- The shipped weights ----

TEST_F(Statistics, ShippedWeightsCoverEveryCatalogItem) {
    catalog::SetCatalogOS(true, 6, 1, 7);  // every item is present on Windows 7
    catalog::TCleanItemsTable catalogItems;
    catalog::FillDefaultItems(catalogItems);
    std::set<int32_t> catalogIds;
    for (const catalog::TCleanItemParams& row : catalogItems.rows()) {
        catalogIds.insert(row.ID);
    }
    std::set<int32_t> weightIds;
    for (const TItemWeights& w : EmbeddedItemWeights()) {
        EXPECT_TRUE(weightIds.insert(w.ID).second) << "twice: " << w.ID;
        EXPECT_GE(w.K_COUNT, 0) << w.ID;
        EXPECT_GE(w.K_SIZE, 0) << w.ID;
        EXPECT_GE(w.K_P, 0) << w.ID;
    }
    EXPECT_EQ(weightIds, catalogIds);
    // An item without a size rule scores 1 for any size: it must not weigh its size.
    for (const TItemWeights& w : EmbeddedItemWeights()) {
        if (GetSizeScore(w.ID, 1, 1) == 1) {
            EXPECT_EQ(w.K_SIZE, 0) << w.ID;
        }
    }
    EXPECT_EQ(FindEmbeddedWeights(12)->K_P, 0);
    EXPECT_EQ(FindEmbeddedWeights(999), nullptr);
}

TEST_F(Statistics, EmbeddedTableHoldsTheItemsOfThisWindows) {
    catalog::SetCatalogOS(true, 10, 0, 10);
    catalog::TCleanItemsTable catalogItems;
    catalog::FillDefaultItems(catalogItems);
    TCleanResultTable results;
    TcExpData_DM dm = module();
    EXPECT_TRUE(dm.OpenAndFillData(1, &results));
    const auto& rows = dm.FDMemTable_Exp().rows();
    ASSERT_EQ(rows.size(), catalogItems.rows().size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const catalog::TCleanItemParams& c = catalogItems.rows()[i];
        EXPECT_EQ(rows[i].ID, c.ID);
        EXPECT_EQ(rows[i].CAT_ID, c.CAT_ID);
        EXPECT_EQ(rows[i].TYPE, c.TYPE);
        EXPECT_EQ(rows[i].LAT_NAME, c.LAT_NAME);
        EXPECT_EQ(rows[i].CAPTION, c.CAPTION);
        EXPECT_EQ(rows[i].K_P, FindEmbeddedWeights(c.ID)->K_P);
        EXPECT_EQ(rows[i].SIGN, 0);
    }
    EXPECT_EQ(dm.FDMemTable_Exp().indexOfId(71), -1);  // prefetch ends with Windows 7
}

// The index of a full run over every item with these findings, on a machine with these facts.
double indexOfRun(TcExpData_DM& dm, TCleanResultTable& results,
                  const std::map<int32_t, Finding>& findings) {
    results.clear();
    for (const TExpDataRow& row : dm.FDMemTable_Exp().rows()) {
        const auto it = findings.find(row.ID);
        const Finding f = it != findings.end() ? it->second : Finding{};
        results.append({.ID = row.ID, .TYPE = row.TYPE, .R_COUNT = f.count, .R_SIZE = f.size});
    }
    dm.CopyResData(true);
    const double c = dm.CalcKoeffs(0);
    return c < 0 ? -1 : (1 - c) * 10;
}

TEST_F(Statistics, ShippedWeightsGiveAMeaningfulIndex) {
    catalog::SetCatalogOS(true, 6, 1, 7);
    const std::map<int32_t, Finding> nothing;
    // The empty clipboard, the pseudo entries of the recent-object lists and a few temp files.
    const std::map<int32_t, Finding> fresh{
        {12, {1, 0}}, {51, {1, 0}}, {52, {1, 0}}, {11, {12, 300 * 1024}}};
    // Thousands of temp files, hundreds of MB of caches and dumps, dozens of invalid registry
    // entries.
    const std::map<int32_t, Finding> junk{
        {11, {4000, 400 * kMiB}},
        {1, {6000, 600 * kMiB}},
        {10, {800, 900 * kMiB}},
        {13, {15, 600 * kMiB}},
        {14, {600, 120 * kMiB}},
        {15, {40, 80 * kMiB}},
        {53, {9, 150 * kMiB}},
        {2, {150, 20 * kMiB}},
        {3, {2500, 10 * kMiB}},
        {5, {300, 10 * kMiB}},
        {4, {25, 0}},
        {50, {300, 300000}},
        {54, {150, 15 * kMiB}},
        {17, {12, 20000}},
        {18, {6, 9000}},
        {12, {1, 0}},
        {51, {1, 0}},
        {52, {1, 0}},
        {100, {40, 0}},
        {101, {30, 0}},
        {102, {80, 0}},
        {106, {10, 0}},
        {107, {15, 0}},
        {108, {25, 0}},
        {109, {45, 0}},
        {110, {12, 0}},
        {114, {3, 0}},
    };
    for (const TMachineFacts& facts : {kUnitFacts, kLowFacts, kHighFacts}) {
        SCOPED_TRACE(facts.DiskTotalMB);
        TCleanResultTable results;
        TcExpData_DM dm = module(facts);
        dm.OpenAndFillData(1, &results);
        EXPECT_DOUBLE_EQ(indexOfRun(dm, results, nothing), 10);
        EXPECT_GT(indexOfRun(dm, results, fresh), 9.5);
        EXPECT_LT(indexOfRun(dm, results, junk), 1.5);
    }
    EXPECT_TRUE(dialogs.warnings.isEmpty());
}

// ---- The table file ----

TEST_F(Statistics, SavedTableLoadsBackUnchanged) {
    catalog::SetCatalogOS(true, 6, 1, 7);
    testing::TempDir tmp;
    TCleanResultTable results = analysed({{11, {1234, 5.5 * kMiB}}, {100, {7, 0}}});
    TcExpData_DM dm = module();
    dm.OpenAndFillData(1, &results);
    dm.CopyResData(false);
    dm.CalcKoeffs(0);
    dm.FDMemTable_Exp().rows()[0].LAT_NAME = QStringLiteral("Кавычки \" и \\ обратная черта");
    const QString file = QString::fromStdString(tmp / "table.ced");
    ASSERT_TRUE(dm.SaveDataToFile(file));

    TcExpData_DM other = module();
    EXPECT_TRUE(other.LoadDataFromFile(file));
    EXPECT_EQ(other.FDMemTable_Exp().rows(), dm.FDMemTable_Exp().rows());
    // A loaded table is open.
    EXPECT_NEAR(other.CalcKoeffs(0), dm.LastCoeff(), 1e-15);
}

TEST_F(Statistics, SavesUnderItsOwnNameInTheCurrentFolder) {
    testing::TempDir tmp;
    TCleanResultTable results;
    TcExpData_DM dm = module();
    dm.OpenAndFillData(1, &results);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(tmp.path())));
    const bool saved = dm.SaveDataToFile(QString());
    QDir::setCurrent(previous);
    EXPECT_TRUE(saved);
    QString error;
    EXPECT_TRUE(
        ExpDataFromJson(QByteArray::fromStdString(testing::readFile(tmp / "cExpData.ced")), error))
        << error.toStdString();
    EXPECT_FALSE(dm.SaveDataToFile(QString::fromStdString(tmp / "missing/folder/t.ced")));
}

TEST_F(Statistics, HandWrittenTableNeedsOnlyIdAndWeights) {
    QString error;
    const auto table = ExpDataFromJson(
        R"({"rows": [{"ID": 11, "K_COUNT": 1, "K_SIZE": 0.5, "K_P": 20},
                     {"ID": 100, "K_COUNT": 2, "K_SIZE": 0, "K_P": 4, "TYPE": 2,
                      "CAPTION": "Библиотеки", "RES_COUNT": 9007199254740992}]})",
        error);
    ASSERT_TRUE(table) << error.toStdString();
    ASSERT_EQ(table->size(), 2);
    EXPECT_EQ(table->rows()[0].K_P, 20);
    EXPECT_EQ(table->rows()[0].DELTA_DAYS, -1);
    EXPECT_EQ(table->rows()[1].TYPE, 2);
    EXPECT_EQ(table->rows()[1].CAPTION, "Библиотеки");
    EXPECT_EQ(table->rows()[1].RES_COUNT, 9007199254740992);
}

TEST_F(Statistics, MalformedTableIsRefusedAndTheOldOneKept) {
    const char* documents[] = {
        "",
        "not json",
        "[1, 2]",
        R"({"rows": {}})",
        R"({"rows": [5]})",
        R"({"rows": [{"K_COUNT": 1, "K_SIZE": 1, "K_P": 1}]})",
        R"({"rows": [{"ID": 1, "K_COUNT": 1, "K_SIZE": 1}]})",
        R"({"rows": [{"ID": 1.5, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1}]})",
        R"({"rows": [{"ID": 3000000000, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1}]})",
        R"({"rows": [{"ID": "1", "K_COUNT": 1, "K_SIZE": 1, "K_P": 1}]})",
        R"({"rows": [{"ID": 1, "K_COUNT": 1, "K_SIZE": 1, "K_P": -1}]})",
        R"({"rows": [{"ID": 1, "K_COUNT": "1", "K_SIZE": 1, "K_P": 1}]})",
        R"({"rows": [{"ID": 1, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1, "RES_COUNT": -2}]})",
        R"({"rows": [{"ID": 1, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1, "RES_SIZE": -2}]})",
        R"({"rows": [{"ID": 1, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1, "CAPTION": 7}]})",
        R"({"rows": [{"ID": 1, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1},
                     {"ID": 1, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1}]})",
    };
    testing::TempDir tmp;
    TCleanResultTable results;
    TcExpData_DM dm = module();
    dm.OpenAndFillData(1, &results);
    const std::vector<TExpDataRow> before = dm.FDMemTable_Exp().rows();
    const std::string file = tmp / "bad.ced";
    for (const char* document : documents) {
        testing::writeFile(file, document);
        EXPECT_FALSE(dm.LoadDataFromFile(QString::fromStdString(file))) << document;
    }
    const QString longName(241, u'x');
    testing::writeFile(file, (R"({"rows": [{"ID": 1, "K_COUNT": 1, "K_SIZE": 1, "K_P": 1, )"
                              R"("LAT_NAME": ")" +
                              longName + R"("}]})")
                                 .toStdString());
    EXPECT_FALSE(dm.LoadDataFromFile(QString::fromStdString(file)));
    EXPECT_FALSE(dm.LoadDataFromFile(QString::fromStdString(tmp / "missing.ced")));
    EXPECT_EQ(dm.FDMemTable_Exp().rows(), before);
}

// ---- Report lines ----

TEST(StatisticsReportLines, FindsTheFirstLineContainingTheText) {
    const QStringList lines{" Анализ ", " Индекс очистки:  7,50", " ***", " ***", "last"};
    struct Case {
        const char* text;
        int index;
    };
    const Case cases[] = {
        {"***", 2},    {"  *** ", 2}, {"индекс", 1}, {"ИНДЕКС ОЧИСТКИ", 1}, {"LAST", 4},
        {"анализ", 0}, {"", -1},      {"   ", -1},   {"нет такой", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindLineInList(QString::fromUtf8(c.text), lines), c.index) << c.text;
    }
    EXPECT_EQ(FindLineInList(QStringLiteral("***"), QStringList()), -1);
}

TEST(StatisticsReportLines, IndexTakesThePlaceOfThePlaceholder) {
    const QStringList report{" Очистка не проводилась", " ", " ", " ***", " ", " ----"};
    struct Case {
        double q;
        QLocale locale;
        QStringList expected;
    };
    const Case cases[] = {
        {7.5,
         QLocale(QLocale::Russian, QLocale::Russia),
         {" Очистка не проводилась", " ", " ", " Состояние перед очисткой: хорошее",
          " Индекс очистки:  7,50", " ", " ----"}},
        {0,
         QLocale::c(),
         {" Очистка не проводилась", " ", " ", " Состояние перед очисткой: хорошее",
          " Индекс очистки:  0.00", " ", " ----"}},
        {10,
         QLocale::c(),
         {" Очистка не проводилась", " ", " ", " Состояние перед очисткой: хорошее",
          " Индекс очистки:  10.00", " ", " ----"}},
        {-1, QLocale(QLocale::Russian), {" Очистка не проводилась", " ", " ", " ", " ----"}},
    };
    for (const Case& c : cases) {
        QStringList lines = report;
        PutCleanIndexLines(lines, c.q, QStringLiteral("хорошее"), c.locale);
        EXPECT_EQ(lines, c.expected) << c.q;
    }
    QStringList noPlaceholder{" Очистка", " "};
    PutCleanIndexLines(noPlaceholder, 7.5, QStringLiteral("хорошее"));
    EXPECT_EQ(noPlaceholder, (QStringList{" Очистка", " "}));
}

}  // namespace
}  // namespace tidora::stores
