#include "diagnostics/app_logging_items.h"

#include <QLocale>

#include "diagnostics/date_time.h"
#include "diagnostics/number_text.h"

namespace tidora::diagnostics {
namespace {

QString dateAndLongTime(double days, const QLocale& locale) {
    const QDateTime dateTime = dateTimeFromDays(days);
    return locale.toString(dateTime.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(dateTime.time(), longTimeFormat(locale));
}

QString itemLine(const TAppLoggingItem& item, const QLocale& locale) {
    return QStringLiteral("T*=") + dateAndLongTime(item.dTime, locale) + QStringLiteral("|C*=") +
           item.Category + QStringLiteral("|A*=") + item.ActionName + QStringLiteral("|D*=") +
           item.LabelDesc + QStringLiteral("|V*=") + generalNumberText(item.Value, locale) +
           QStringLiteral("|N*=") + QString::number(item.Num) + QStringLiteral("|S*=") +
           QString::number(item.State) + QStringLiteral("|L*=") + QString::number(item.Level) +
           QStringLiteral("|R*=") + QString::number(item.logRegime) + QStringLiteral("|G*=") +
           QString::number(item.Sign);
}

QString jointLine(const TJointRecord& joint, const QLocale& locale) {
    return joint.Name + u'=' + joint.Value + QStringLiteral(" |>") +
           locale.toString(dateTimeFromDays(joint.dTime).time(), longTimeFormat(locale));
}

}  // namespace

TAppLoggingItems::TAppLoggingItems() : FDescInformation(QStringLiteral("PC")) {
    ClearPlace();
}

int TAppLoggingItems::GetIndexOfParams(const QString& Acategory, const QString& aAction) const {
    for (int i = 0; i < Count(); ++i) {
        if (FItems[i].Category == Acategory && FItems[i].ActionName == aAction) {
            return i;
        }
    }
    return -1;
}

TAppLoggingItem TAppLoggingItems::AddUniqueItem(const QString& Acategory, const QString& aAction,
                                                const QString& aLabel, double aValue, int Lvl,
                                                int Sign) {
    const QString label = aLabel.trimmed();
    const int index = GetIndexOfParams(Acategory, aAction);
    if (index >= 0) {
        TAppLoggingItem& item = FItems[index];
        item.dTime = nowAsDays();
        if (!label.isEmpty()) {
            item.LabelDesc = label;
        }
        item.Value = aValue;
        item.Level = Lvl;
        item.Sign = Sign;
        item.State = 0;
        item.logRegime = 1;
        return item;
    }
    TAppLoggingItem item;
    item.Num = Count();
    item.dTime = nowAsDays();
    item.Category = Acategory;
    item.ActionName = aAction;
    item.LabelDesc = label;
    item.Value = aValue;
    item.Level = Lvl;
    item.Sign = Sign;
    FItems.push_back(item);
    return item;
}

int TAppLoggingItems::storeAndNotify(const TAppLoggingItem& item) {
    const int index = GetIndexOfParams(item.Category, item.ActionName);
    // Set before the handler runs so that it sees this item, and again after it in case the
    // handler wrote an item of its own.
    FlastIndex = index;
    if (OnSetData) {
        OnSetData(item);
    }
    FlastIndex = index;
    return index;
}

int TAppLoggingItems::PData(const QString& aAction, const QString& aLabelDesc, int aLvl,
                            double aValue) {
    const QString& action = aAction.isEmpty() ? FActiveItem.ActionName : aAction;
    return storeAndNotify(AddUniqueItem(FActiveItem.Category, action, aLabelDesc, aValue, aLvl, 0));
}

int TAppLoggingItems::PDataEx(const QString& aCategory, const QString& aAction,
                              const QString& aLabelDesc, int aLvl, double aValue) {
    QString category = aCategory.trimmed();
    if (category.isEmpty()) {
        category = FActiveItem.Category;
    }
    if (category.isEmpty()) {
        category = QStringLiteral("All");
    }
    QString action = aAction.isEmpty() ? FActiveItem.ActionName : aAction;
    if (action.isEmpty()) {
        action = QStringLiteral("dA");
    }
    return storeAndNotify(AddUniqueItem(category, action, aLabelDesc, aValue, aLvl, 0));
}

void TAppLoggingItems::PValue(double aValue, const QString& aAction) {
    const QString action = aAction.isEmpty() ? FActiveItem.ActionName : aAction;
    const int index = GetIndexOfParams(FActiveItem.Category, action);
    if (index < 0) {
        PData(action, QString(), 1, aValue);
        return;
    }
    TAppLoggingItem& item = FItems[index];
    item.dTime = nowAsDays();
    item.Value = aValue;
    item.State = 0;
    item.logRegime = 1;
    storeAndNotify(TAppLoggingItem(item));
}

void TAppLoggingItems::SetState(int aIndex, int aNewState) {
    if (aIndex >= 0 && aIndex < Count()) {
        FItems[aIndex].State = aNewState;
    }
}

void TAppLoggingItems::SetStates(int aState) {
    for (TAppLoggingItem& item : FItems) {
        item.State = aState;
    }
}

void TAppLoggingItems::ClearStates(int aClState) {
    SetStates(aClState);
}

void TAppLoggingItems::SetPlace(const QString& aCategory, const QString& aActionName) {
    FActiveItem.dTime = nowAsDays();
    FActiveItem.Category = aCategory;
    FActiveItem.ActionName = aActionName.trimmed();
    FActiveItem.Sign = 1;
}

void TAppLoggingItems::ClearPlace() {
    FActiveItem.Category = QStringLiteral("All");
    FActiveItem.ActionName.clear();
    FActiveItem.Sign = 0;
}

QString TAppLoggingItems::GetItemStr(int aIndex, int aGetRg) const {
    if (aIndex < 0 || aIndex >= Count()) {
        return {};
    }
    const TAppLoggingItem& item = FItems[aIndex];
    const QString level = QString::number(item.Level);
    switch (aGetRg) {
        case 0:
            return QStringList{item.Category, item.ActionName, item.LabelDesc, level,
                               fixedNumberText(item.Value, 5, 3, QLocale())}
                .join(u',');
        case 1:
            return QStringList{item.Category, item.ActionName, item.LabelDesc, level}.join(u',');
        case 5:
            return item.LabelDesc.isEmpty() ? u'L' + level : item.LabelDesc + u',' + level;
        default:
            return {};
    }
}

void TAppLoggingItems::ViewLines(QStringList& ALines, int) const {
    const QLocale locale;
    ALines.clear();
    ALines.append(QStringLiteral("*LOGS*"));
    QStringList categories;
    for (const TAppLoggingItem& item : FItems) {
        if (!categories.contains(item.Category)) {
            categories.append(item.Category);
        }
    }
    for (const QString& category : categories) {
        ALines.append(QStringLiteral("*CATEGORY=") + category);
        for (const TAppLoggingItem& item : FItems) {
            if (item.Category == category) {
                ALines.append(QStringLiteral("  ") + itemLine(item, locale));
            }
        }
    }
    ALines.append(QStringLiteral("*JOINS*"));
    for (const TJointRecord& joint : FJoints) {
        ALines.append(jointLine(joint, locale));
    }
}

int TAppLoggingItems::jointIndex(const QString& name) const {
    for (int i = 0; i < static_cast<int>(FJoints.size()); ++i) {
        if (FJoints[i].Name == name) {
            return i;
        }
    }
    return -1;
}

void TAppLoggingItems::SetJoint(const QString& Index, const QString& aValue) {
    if (Index.isEmpty()) {
        return;
    }
    const TJointRecord joint{Index, aValue, nowAsDays()};
    const int index = jointIndex(Index);
    if (index >= 0) {
        FJoints[index] = joint;
    } else {
        FJoints.push_back(joint);
    }
    if (OnSetJoint) {
        OnSetJoint(index >= 0 ? 1 : 0, joint);
    }
}

QString TAppLoggingItems::GetJoint(const QString& Index) const {
    const int index = jointIndex(Index);
    return index >= 0 ? FJoints[index].Value : QString();
}

void TAppLoggingItems::DeleteJoint(const QString& aIndex) {
    int index = jointIndex(aIndex);
    if (index < 0) {
        return;
    }
    if (OnSetJoint) {
        OnSetJoint(2, TJointRecord(FJoints[index]));
        // The handler may have changed the joints.
        index = jointIndex(aIndex);
    }
    if (index >= 0) {
        FJoints.erase(FJoints.begin() + index);
    }
}

QString TAppLoggingItems::JointString() const {
    if (!FJointFlag) {
        return {};
    }
    QStringList pairs;
    for (const TJointRecord& joint : FJoints) {
        if (!joint.Value.isEmpty()) {
            pairs.append(joint.Name + u':' + joint.Value);
        }
    }
    return pairs.isEmpty() ? QString() : u'<' + pairs.join(u',') + u'>';
}

}  // namespace tidora::diagnostics
