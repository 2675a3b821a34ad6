#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace tidora::diagnostics {

// One measurement, keyed by category and action; a later write of the same key overwrites it.
struct TAppLoggingItem {
    double dTime = 0;  // local time of the last write, days since 1899-12-30
    QString Category;
    QString ActionName;
    QString LabelDesc;
    double Value = 0;
    int Num = 0;        // index in the log, fixed when the item was added
    int State = 0;      // 0 written since last sent, 1 sent
    int Level = 0;      // detail level given by the writer
    int Sign = 0;       // writer's mark
    int logRegime = 0;  // 0 the last write created the item, 1 it updated it
};

// A named value describing the application's state (run regime, auto-run flag, ...).
struct TJointRecord {
    QString Name;
    QString Value;
    double dTime = 0;
};

using TLogItemDataEvent = std::function<void(const TAppLoggingItem& ARec)>;
// aOpSign: 0 added, 1 replaced, 2 about to be deleted.
using TJointEvent = std::function<void(int aOpSign, const TJointRecord& ARec)>;

// The in-memory log of the latest value of each measurement, plus the joints. No lock: callers on
// more than one thread must serialise their calls themselves.
class TAppLoggingItems {
public:
    TAppLoggingItems();

    // Fired after each item write and on each joint change; unset ones are skipped.
    TLogItemDataEvent OnSetData;
    TJointEvent OnSetJoint;

    int Count() const { return static_cast<int>(FItems.size()); }
    // In insertion order; an item's index never changes.
    const std::vector<TAppLoggingItem>& Items() const { return FItems; }
    const std::vector<TJointRecord>& Joints() const { return FJoints; }

    const QString& DescInformation() const { return FDescInformation; }
    void SetDescInformation(const QString& value) { FDescInformation = value; }
    const QString& CurrCategory() const { return FActiveItem.Category; }
    int LastIndex() const { return FlastIndex; }
    bool IsJointed() const { return FJointFlag; }
    void SetIsJointed(bool value) { FJointFlag = value; }

    // -1 when no item has exactly that category and action.
    int GetIndexOfParams(const QString& Acategory, const QString& aAction) const;
    TAppLoggingItem AddUniqueItem(const QString& Acategory, const QString& aAction,
                                  const QString& aLabel, double aValue, int Lvl, int Sign);

    // Writes into the current place's category; an empty action means the place's action.
    // Returns the item's index.
    int PData(const QString& aAction, const QString& aLabelDesc, int aLvl, double aValue);
    // As PData with a category of its own ("All" and "dA" stand in for missing ones).
    int PDataEx(const QString& aCategory, const QString& aAction, const QString& aLabelDesc,
                int aLvl, double aValue);
    // Updates only the value of an item of the current category, creating it when missing.
    void PValue(double aValue, const QString& aAction = {});

    void SetState(int aIndex, int aNewState);
    void SetStates(int aState);
    void ClearStates(int aClState);

    void SetPlace(const QString& aCategory, const QString& aActionName);
    void ClearPlace();

    // aGetRg 0: "Category,Action,Label,Level,value"; 1: without the value; 5: "Label,Level" or
    // "L<Level>" without a label. Empty for any other aGetRg or an index outside the list.
    QString GetItemStr(int aIndex, int aGetRg) const;
    void ViewLines(QStringList& ALines, int aViewRg = 0) const;

    // An empty name is ignored.
    void SetJoint(const QString& Index, const QString& aValue);
    QString GetJoint(const QString& Index) const;
    void DeleteJoint(const QString& aIndex);
    // "<name:value,...>" over the joints with a value; empty when there are none or IsJointed is
    // false.
    QString JointString() const;

private:
    int jointIndex(const QString& name) const;
    int storeAndNotify(const TAppLoggingItem& item);

    std::vector<TAppLoggingItem> FItems;
    QString FDescInformation;
    TAppLoggingItem FActiveItem;  // the current place: default category and action
    int FlastIndex = -1;
    bool FJointFlag = true;
    std::vector<TJointRecord> FJoints;
};

}  // namespace tidora::diagnostics
