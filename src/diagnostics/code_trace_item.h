#pragma once

#include <QString>
#include <QStringList>

namespace tidora::diagnostics {

// The trace commands; a command's regime number is its position here.
const QStringList& TraceCommandList();

// One traced event and its datagram text: "<command> <message> TIME=hh:nn:ss.zzz".
class TCodeTraceItem {
public:
    // The blank item: regime -1, command "empty:", no message, created now.
    TCodeTraceItem();
    // An unrecognised command leaves CommandName empty and CommandRegime -1.
    TCodeTraceItem(const QString& aCommand, const QString& aMsgData);
    // A copy of aSource, or the blank item when there is none.
    static TCodeTraceItem CreateFrom(const TCodeTraceItem* aSource);
    // Parses a datagram text; the item's time is the time of parsing, not the one in the text.
    static TCodeTraceItem CreateFromString(const QString& aData);

    // Position of the command that the text names ("Enter", "errors", "exception" and
    // "command..." are understood); -1 for none.
    static int GetCommandRegime(const QString& aComName);
    // Empty outside the list.
    static QString GetCommandName(int aComRegime);

    // A missing source changes nothing.
    void Assign(const TCodeTraceItem* Source);
    bool IsEmpty() const;
    QString DataToString() const;
    // The inverse of DataToString. A time in the text replaces the time of day of DTime; one that
    // does not parse leaves DTime as it is.
    void ExtractDataFromString(const QString& aDataStr);
    // The value written as ident=[value] in the message, up to its last "]"; empty when absent.
    QString GetCommandParams(const QString& aParamsIdent) const;

    QString CommandName;
    int CommandRegime = -1;
    QString MessData;
    double DTime = 0;  // days since 1899-12-30, local time
};

}  // namespace tidora::diagnostics
