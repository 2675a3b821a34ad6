#include "diagnostics/app_logging_items.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <string>
#include <vector>

#include "diagnostics/app_log.h"
#include "diagnostics/date_time.h"

namespace tidora::diagnostics {
namespace {

std::string str(const QString& text) {
    return text.toStdString();
}

TEST(LogItems, FreshLog) {
    const TAppLoggingItems log;
    EXPECT_EQ(log.Count(), 0);
    EXPECT_EQ(log.LastIndex(), -1);
    EXPECT_EQ(str(log.DescInformation()), "PC");
    EXPECT_EQ(str(log.CurrCategory()), "All");
    EXPECT_TRUE(log.IsJointed());
    EXPECT_EQ(str(log.JointString()), "");
}

TEST(LogItems, SecondWriteOfAKeyUpdatesInPlace) {
    TAppLoggingItems log;
    const double before = nowAsDays();
    EXPECT_EQ(log.PDataEx("Logs", "Clean", "  first label ", 2, 1.5), 0);
    EXPECT_EQ(log.PDataEx("Disk", "Scan", "", 1, 7), 1);
    log.SetStates(1);
    EXPECT_EQ(log.PDataEx("Logs", "Clean", "  ", 4, 2.5), 0);
    EXPECT_EQ(log.LastIndex(), 0);

    ASSERT_EQ(log.Count(), 2);
    const TAppLoggingItem& updated = log.Items()[0];
    EXPECT_EQ(str(updated.Category), "Logs");
    EXPECT_EQ(str(updated.ActionName), "Clean");
    EXPECT_EQ(str(updated.LabelDesc), "first label");  // an empty label keeps the old one
    EXPECT_EQ(updated.Value, 2.5);
    EXPECT_EQ(updated.Level, 4);
    EXPECT_EQ(updated.Num, 0);
    EXPECT_EQ(updated.State, 0);
    EXPECT_EQ(updated.logRegime, 1);
    EXPECT_EQ(updated.Sign, 0);
    EXPECT_GE(updated.dTime, before);

    const TAppLoggingItem& untouched = log.Items()[1];
    EXPECT_EQ(untouched.Num, 1);
    EXPECT_EQ(untouched.State, 1);
    EXPECT_EQ(untouched.logRegime, 0);

    log.PDataEx("Logs", "Clean", "new label", 4, 3);
    EXPECT_EQ(str(log.Items()[0].LabelDesc), "new label");
}

TEST(LogItems, KeysMatchExactly) {
    TAppLoggingItems log;
    log.PDataEx("Logs", "Clean", "", 0, 1);
    struct Case {
        const char* category;
        const char* action;
        int index;
    };
    const Case cases[] = {
        {"Logs", "Clean", 0},   {"logs", "Clean", -1}, {"Logs", "clean", -1},
        {"Logs", "Clean ", -1}, {"Logs", "", -1},      {"", "Clean", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(log.GetIndexOfParams(c.category, c.action), c.index)
            << c.category << "/" << c.action;
    }
    // Written keys follow the same rule: each near miss is an item of its own.
    EXPECT_EQ(log.PDataEx("Logs", "clean", "", 0, 1), 1);
    EXPECT_EQ(log.PDataEx("Logs", "Clean ", "", 0, 1), 2);
    EXPECT_EQ(log.PDataEx(" Logs ", "Clean", "", 0, 1), 0);  // the category is trimmed first
}

TEST(LogItems, MissingCategoryAndActionFallBack) {
    struct Case {
        const char* placeCategory;  // null: no place set
        const char* placeAction;
        const char* category;
        const char* action;
        const char* storedCategory;
        const char* storedAction;
    };
    const Case cases[] = {
        {nullptr, nullptr, "", "", "All", "dA"},
        {nullptr, nullptr, "  ", "Go", "All", "Go"},
        {"Disk", " Scan ", "", "", "Disk", "Scan"},
        {"Disk", "Scan", " Net ", "", "Net", "Scan"},
        {"", "", "", "", "All", "dA"},
        {"Disk", "", "", "Run", "Disk", "Run"},
    };
    for (const Case& c : cases) {
        TAppLoggingItems log;
        if (c.placeCategory) {
            log.SetPlace(c.placeCategory, c.placeAction);
        }
        const int index = log.PDataEx(c.category, c.action, "", 0, 1);
        ASSERT_EQ(index, 0);
        EXPECT_EQ(str(log.Items()[0].Category), c.storedCategory) << c.category;
        EXPECT_EQ(str(log.Items()[0].ActionName), c.storedAction) << c.action;
    }
}

TEST(LogItems, PDataWritesIntoTheCurrentPlace) {
    TAppLoggingItems log;
    log.SetPlace("Run", " Start ");
    EXPECT_EQ(str(log.CurrCategory()), "Run");
    EXPECT_EQ(log.PData("", "lbl", 2, 5), 0);
    EXPECT_EQ(log.PData("Stop", "", 1, 6), 1);
    log.ClearPlace();
    EXPECT_EQ(log.PData("Stop", "", 1, 7), 2);

    const std::vector<std::pair<std::string, std::string>> keys = {
        {"Run", "Start"}, {"Run", "Stop"}, {"All", "Stop"}};
    ASSERT_EQ(log.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(str(log.Items()[i].Category), keys[i].first);
        EXPECT_EQ(str(log.Items()[i].ActionName), keys[i].second);
        EXPECT_EQ(log.Items()[i].Sign, 0);
        EXPECT_EQ(log.Items()[i].Num, i);
    }
}

TEST(LogItems, PValueCreatesOrUpdatesOnlyTheValue) {
    TAppLoggingItems log;
    log.PDataEx("First", "x", "", 0, 0);
    log.SetPlace("Net", "Check");
    log.PValue(3);
    EXPECT_EQ(log.LastIndex(), 1);
    const TAppLoggingItem created = log.Items()[1];
    EXPECT_EQ(str(created.ActionName), "Check");
    EXPECT_EQ(str(created.LabelDesc), "");
    EXPECT_EQ(created.Level, 1);
    EXPECT_EQ(created.logRegime, 0);

    log.PData("Send", " sent ", 4, 1);
    log.SetState(2, 1);
    log.PValue(9, "Send");
    EXPECT_EQ(log.LastIndex(), 2);
    const TAppLoggingItem& updated = log.Items()[2];
    EXPECT_EQ(updated.Value, 9);
    EXPECT_EQ(str(updated.LabelDesc), "sent");
    EXPECT_EQ(updated.Level, 4);
    EXPECT_EQ(updated.State, 0);
    EXPECT_EQ(updated.logRegime, 1);
    EXPECT_EQ(log.Count(), 3);
}

TEST(LogItems, WritesNotifyWithTheItemAsWritten) {
    TAppLoggingItems log;
    std::vector<TAppLoggingItem> seen;
    std::vector<int> lastIndexInHandler;
    log.OnSetData = [&](const TAppLoggingItem& item) {
        seen.push_back(item);
        lastIndexInHandler.push_back(log.LastIndex());
    };
    log.PDataEx("A", "a", "one", 1, 1);
    log.PData("b", "", 1, 2);
    log.PValue(3, "b");
    log.AddUniqueItem("A", "z", "", 0, 0, 7);  // the raw insert notifies nobody

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(str(seen[0].Category) + "/" + str(seen[0].ActionName), "A/a");
    EXPECT_EQ(str(seen[1].Category) + "/" + str(seen[1].ActionName), "All/b");
    EXPECT_EQ(seen[2].Value, 3);
    EXPECT_EQ(seen[2].logRegime, 1);
    EXPECT_EQ(lastIndexInHandler, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(log.Items()[2].Sign, 7);

    log.OnSetData = nullptr;
    EXPECT_EQ(log.PData("c", "", 1, 1), 3);
}

TEST(LogItems, States) {
    TAppLoggingItems log;
    log.PDataEx("A", "a", "", 0, 0);
    log.PDataEx("A", "b", "", 0, 0);
    log.SetState(1, 1);
    log.SetState(2, 1);
    log.SetState(-1, 1);
    EXPECT_EQ(log.Items()[0].State, 0);
    EXPECT_EQ(log.Items()[1].State, 1);
    log.ClearStates(5);
    EXPECT_EQ(log.Items()[0].State, 5);
    EXPECT_EQ(log.Items()[1].State, 5);
}

struct JointEvent {
    int op;
    std::string name;
    std::string value;
    bool operator==(const JointEvent&) const = default;
};

TEST(LogJoints, ChangesNotifyWithTheirSign) {
    TAppLoggingItems log;
    std::vector<JointEvent> events;
    std::vector<std::string> valueDuringDelete;
    log.OnSetJoint = [&](int op, const TJointRecord& joint) {
        events.push_back({op, str(joint.Name), str(joint.Value)});
        if (op == 2) {
            valueDuringDelete.push_back(str(log.GetJoint(joint.Name)));
        }
    };
    log.SetJoint("rg", "1");
    log.SetJoint("Auto", "0");
    log.SetJoint("rg", "2");
    log.SetJoint("", "ignored");
    log.DeleteJoint("absent");
    log.DeleteJoint("rg");

    const std::vector<JointEvent> expected = {
        {0, "rg", "1"}, {0, "Auto", "0"}, {1, "rg", "2"}, {2, "rg", "2"}};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(valueDuringDelete, std::vector<std::string>{"2"});  // told before it goes
    EXPECT_EQ(str(log.GetJoint("rg")), "");
    EXPECT_EQ(str(log.GetJoint("Auto")), "0");
    ASSERT_EQ(log.Joints().size(), 1u);
}

TEST(LogJoints, ReplacingKeepsThePlace) {
    TAppLoggingItems log;
    log.SetJoint("rg", "1");
    log.SetJoint("Auto", "0");
    log.SetJoint("rg", "10");
    EXPECT_EQ(str(log.JointString()), "<rg:10,Auto:0>");
}

TEST(LogJoints, DeleteSurvivesAHandlerThatChangesTheJoints) {
    struct Case {
        const char* deleted;
        const char* deletedByHandler;
        const char* left;
    };
    const Case cases[] = {
        {"b", "a", "c"},  // the handler moves "b" down by one
        {"b", "b", "a,c"},
        {"c", "c", "a,b"},
    };
    for (const Case& c : cases) {
        TAppLoggingItems log;
        log.SetJoint("a", "1");
        log.SetJoint("b", "2");
        log.SetJoint("c", "3");
        log.OnSetJoint = [&](int op, const TJointRecord&) {
            if (op == 2) {
                log.OnSetJoint = nullptr;
                log.DeleteJoint(c.deletedByHandler);
            }
        };
        log.DeleteJoint(c.deleted);
        QStringList left;
        for (const TJointRecord& joint : log.Joints()) {
            left.append(joint.Name);
        }
        EXPECT_EQ(str(left.join(',')), c.left) << c.deleted << " " << c.deletedByHandler;
    }
}

TEST(LogJoints, JointString) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> joints;
        bool jointed;
        const char* text;
    };
    const Case cases[] = {
        {{}, true, ""},
        {{{"rg", ""}, {"Auto", ""}}, true, ""},
        {{{"rg", "1"}, {"Auto", "0"}}, true, "<rg:1,Auto:0>"},
        {{{"rg", "1"}, {"x", ""}, {"Auto", "0"}}, true, "<rg:1,Auto:0>"},
        {{{"rg", "1"}}, false, ""},
    };
    for (const Case& c : cases) {
        TAppLoggingItems log;
        for (const auto& [name, value] : c.joints) {
            log.SetJoint(name, value);
        }
        log.SetIsJointed(c.jointed);
        EXPECT_EQ(str(log.JointString()), c.text);
    }
}

class LogText : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    static std::string dateAndTime(double days) {
        const QDateTime dateTime = dateTimeFromDays(days);
        return str(QLocale::c().toString(dateTime.date(), QLocale::ShortFormat) + " " +
                   dateTime.time().toString("HH:mm:ss"));
    }
};

TEST_F(LogText, GetItemStr) {
    TAppLoggingItems log;
    log.PDataEx("Logs", "LA", "start", 2, 1);
    log.PDataEx("Disk", "Scan", "", 0, 1234.5678);
    struct Case {
        int index;
        int regime;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "Logs,LA,start,2,1.000"},
        {1, 0, "Disk,Scan,,0,1234.600"},
        {0, 1, "Logs,LA,start,2"},
        {1, 1, "Disk,Scan,,0"},
        {0, 5, "start,2"},
        {1, 5, "L0"},
        {0, 2, ""},
        {0, -1, ""},
        {2, 0, ""},
        {-1, 1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(str(log.GetItemStr(c.index, c.regime)), c.text) << c.index << " rg " << c.regime;
    }
    QLocale::setDefault(QLocale(QLocale::Russian));
    EXPECT_EQ(str(log.GetItemStr(1, 0)), "Disk,Scan,,0,1234,600");
}

TEST_F(LogText, ViewLinesOfAnEmptyLog) {
    const TAppLoggingItems log;
    QStringList lines{"stale"};
    log.ViewLines(lines, 0);
    EXPECT_EQ(lines, (QStringList{"*LOGS*", "*JOINS*"}));
}

TEST_F(LogText, ViewLinesGroupsByCategoryInOrderOfFirstAppearance) {
    TAppLoggingItems log;
    log.PDataEx("Logs", "LA", "start", 2, 1);
    log.PDataEx("Disk", "Scan", "", 0, 2.5);
    log.SetPlace("Logs", "Clean");
    log.PValue(-3);
    log.PDataEx("Logs", "LA", "", 2, 1);
    log.SetJoint("rg", "1");
    log.SetJoint("Auto", "0");

    QStringList lines;
    log.ViewLines(lines, 7);
    const auto& items = log.Items();
    const auto& joints = log.Joints();
    const QStringList expected = {
        "*LOGS*",
        "*CATEGORY=Logs",
        QString::fromStdString("  T*=" + dateAndTime(items[0].dTime)) +
            "|C*=Logs|A*=LA|D*=start|V*=1|N*=0|S*=0|L*=2|R*=1|G*=0",
        QString::fromStdString("  T*=" + dateAndTime(items[2].dTime)) +
            "|C*=Logs|A*=Clean|D*=|V*=-3|N*=2|S*=0|L*=1|R*=0|G*=0",
        "*CATEGORY=Disk",
        QString::fromStdString("  T*=" + dateAndTime(items[1].dTime)) +
            "|C*=Disk|A*=Scan|D*=|V*=2.5|N*=1|S*=0|L*=0|R*=0|G*=0",
        "*JOINS*",
        "rg=1 |>" + dateTimeFromDays(joints[0].dTime).time().toString("HH:mm:ss"),
        "Auto=0 |>" + dateTimeFromDays(joints[1].dTime).time().toString("HH:mm:ss"),
    };
    EXPECT_EQ(lines, expected);

    QLocale::setDefault(QLocale(QLocale::Russian));
    log.ViewLines(lines, 0);
    EXPECT_TRUE(lines[5].endsWith("|V*=2,5|N*=1|S*=0|L*=0|R*=0|G*=0")) << str(lines[5]);
}

TEST(LogInstance, CreatedOnceAndFreed) {
    ASSERT_EQ(AppLog(), nullptr);
    TAppLoggingItems& log = InitAppLog("DefD");
    EXPECT_EQ(AppLog(), &log);
    EXPECT_EQ(str(log.DescInformation()), "DefD");
    log.PData("x", "", 0, 1);

    TAppLoggingItems& again = InitAppLog("1.0,Linux");
    EXPECT_EQ(&again, &log);
    EXPECT_EQ(again.Count(), 1);
    EXPECT_EQ(str(again.DescInformation()), "1.0,Linux");

    FreeAppLog();
    EXPECT_EQ(AppLog(), nullptr);
    EXPECT_EQ(InitAppLog("DefD").Count(), 0);
    FreeAppLog();
}

}  // namespace
}  // namespace tidora::diagnostics
