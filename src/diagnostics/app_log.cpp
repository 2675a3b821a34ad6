#include "diagnostics/app_log.h"

#include <memory>

namespace tidora::diagnostics {
namespace {

std::unique_ptr<TAppLoggingItems>& instance() {
    static std::unique_ptr<TAppLoggingItems> log;
    return log;
}

}  // namespace

TAppLoggingItems& InitAppLog(const QString& desc) {
    std::unique_ptr<TAppLoggingItems>& log = instance();
    if (!log) {
        log = std::make_unique<TAppLoggingItems>();
    }
    log->SetDescInformation(desc);
    return *log;
}

void FreeAppLog() {
    instance().reset();
}

TAppLoggingItems* AppLog() {
    return instance().get();
}

}  // namespace tidora::diagnostics
