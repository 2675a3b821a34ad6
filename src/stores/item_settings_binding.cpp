#include "stores/item_settings_binding.h"

#include "diagnostics/code_trace.h"

namespace tidora::stores {
namespace {

QString configSection(int32_t configNum) {
    return QStringLiteral("CONFIG_") + QString::number(configNum);
}

}  // namespace

void BindItemRecordsToSettings(TBasedata_DM& dm, frame::TwiniSettings& settings) {
    dm.OnLoadItemRecord = [&settings](int32_t aConfigNum, const QString& aname, QString& aValue,
                                      const QString& aDefVal) {
        aValue = settings.ReadString(configSection(aConfigNum), aname, aDefVal);
    };
    dm.OnSaveItemRecord = [&settings](int32_t aConfigNum, const QString& aname, QString& aValue,
                                      const QString& /*aDefVal*/) {
        if (!settings.WriteString(configSection(aConfigNum), aname, aValue) || !settings.Save()) {
            diagnostics::TraceCmd(
                QStringLiteral("err:"),
                QStringLiteral("TBasedata_DM.OnSaveItemRecord: %1 not saved").arg(aname));
        }
    };
}

}  // namespace tidora::stores
