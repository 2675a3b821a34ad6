#include "diagnostics/code_trace_item.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <optional>

#include "diagnostics/date_time.h"

namespace tidora::diagnostics {
namespace {

const QString kTimeTag = QStringLiteral(" TIME=");
const QString kEmptyCommand = QStringLiteral("empty:");

// "14:05:09.123"; any non-digit between the fields, seconds and milliseconds optional.
std::optional<QTime> parseTime(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*([0-9]{1,2})[^0-9]([0-9]{1,2})(?:[^0-9]([0-9]{1,2})(?:[.,]([0-9]{1,3}))?)?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QString ms = match.captured(4).leftJustified(3, u'0');
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt(), ms.toInt());
    if (!time.isValid()) {
        return std::nullopt;
    }
    return time;
}

}  // namespace

const QStringList& TraceCommandList() {
    static const QStringList commands =
        QStringLiteral(
            "user:,enter:,exit:,warn:,err:,note:,req:,info:,exclam:,opt:,app:,next:,prev:,clear:,"
            "minus:,plus:,quit:")
            .split(u',');
    return commands;
}

TCodeTraceItem::TCodeTraceItem() : CommandName(kEmptyCommand), DTime(nowAsDays()) {}

TCodeTraceItem::TCodeTraceItem(const QString& aCommand, const QString& aMsgData)
    : CommandName(GetCommandName(GetCommandRegime(aCommand))),
      CommandRegime(GetCommandRegime(aCommand)),
      MessData(aMsgData.trimmed()),
      DTime(nowAsDays()) {}

TCodeTraceItem TCodeTraceItem::CreateFrom(const TCodeTraceItem* aSource) {
    TCodeTraceItem item;
    item.Assign(aSource);
    return item;
}

TCodeTraceItem TCodeTraceItem::CreateFromString(const QString& aData) {
    TCodeTraceItem item;
    item.ExtractDataFromString(aData);
    item.DTime = nowAsDays();
    return item;
}

int TCodeTraceItem::GetCommandRegime(const QString& aComName) {
    QString name = aComName.trimmed().toLower();
    if (name.isEmpty()) {
        return -1;
    }
    if (name.startsWith(u"error")) {
        name = QStringLiteral("err");
    } else if (name.startsWith(u"warning")) {
        name = QStringLiteral("warn");
    } else if (name.startsWith(u"exc")) {
        name = QStringLiteral("exclam");
    } else if (name.startsWith(u"command")) {
        name = QStringLiteral("app");
    }
    if (!name.endsWith(u':')) {
        name.append(u':');
    }
    const QStringList& commands = TraceCommandList();
    for (int i = 0; i < commands.size(); ++i) {
        if (name.startsWith(commands[i])) {
            return i;
        }
    }
    return -1;
}

QString TCodeTraceItem::GetCommandName(int aComRegime) {
    const QStringList& commands = TraceCommandList();
    return aComRegime >= 0 && aComRegime < commands.size() ? commands[aComRegime] : QString();
}

void TCodeTraceItem::Assign(const TCodeTraceItem* Source) {
    if (Source) {
        *this = *Source;
    }
}

bool TCodeTraceItem::IsEmpty() const {
    return CommandRegime == -1 || CommandName.isEmpty() ||
           (CommandName == kEmptyCommand && MessData.isEmpty());
}

QString TCodeTraceItem::DataToString() const {
    QTime time = dateTimeFromDays(DTime).time();
    if (!time.isValid()) {
        time = QTime(0, 0);
    }
    const QChar separator = timeSeparator(QLocale());
    return CommandName + u' ' + MessData + kTimeTag +
           QStringLiteral("%1%2%3%2%4.%5")
               .arg(time.hour(), 2, 10, QChar(u'0'))
               .arg(separator)
               .arg(time.minute(), 2, 10, QChar(u'0'))
               .arg(time.second(), 2, 10, QChar(u'0'))
               .arg(time.msec(), 3, 10, QChar(u'0'));
}

void TCodeTraceItem::ExtractDataFromString(const QString& aDataStr) {
    QString command = QStringLiteral("user:");
    QString message = aDataStr;
    const qsizetype colon = aDataStr.indexOf(u':');
    if (colon >= 1) {
        command = aDataStr.left(colon + 1);
        message = aDataStr.mid(colon + 1);
    }
    CommandRegime = GetCommandRegime(command);
    CommandName = GetCommandName(CommandRegime);

    // The last tag: a message may mention " TIME=" itself.
    const qsizetype tag = message.lastIndexOf(kTimeTag);
    if (tag >= 0 && tag + kTimeTag.size() < message.size()) {
        if (const std::optional<QTime> time = parseTime(message.mid(tag + kTimeTag.size()))) {
            const QDateTime current = dateTimeFromDays(DTime);
            const QDate date = current.isValid() ? current.date() : QDate::currentDate();
            DTime = daysFromDateTime(QDateTime(date, *time));
        }
        message.truncate(tag);
    }
    MessData = message.trimmed();
}

QString TCodeTraceItem::GetCommandParams(const QString& aParamsIdent) const {
    const QString opener = aParamsIdent + QStringLiteral("=[");
    const qsizetype found = MessData.indexOf(opener);
    if (found < 0) {
        return {};
    }
    const qsizetype start = found + opener.size();
    const qsizetype end = MessData.lastIndexOf(u']');
    return end >= start ? MessData.mid(start, end - start) : QString();
}

}  // namespace tidora::diagnostics
