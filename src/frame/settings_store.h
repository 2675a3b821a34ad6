#pragma once

#include <QAnyStringView>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "frame/ansi_code_page.h"
#include "frame/ini_document.h"
#include "frame/settings_value_text.h"

namespace tidora::frame {

// The program's settings: one ini file, loaded whole when opened, read and written in memory and
// rewritten whole on Save. Every read takes the default to give when the key is absent; typed
// reads give it also for an empty value. An empty section name means "Settings". Names and texts
// come as any Qt string or as UTF-8 (literals, std::string).
class TwiniSettings {
public:
    // Shows a warning to the user (text, caption).
    using WarningSink = std::function<void(const QString& message, const QString& caption)>;
    using RetryWait = std::function<void(std::chrono::milliseconds)>;

    TwiniSettings();
    virtual ~TwiniSettings();
    TwiniSettings(const TwiniSettings&) = delete;
    TwiniSettings& operator=(const TwiniSettings&) = delete;

    // The machine's ANSI code page, in which the file is read and written: 1251, 1252 (the
    // default) or 65001. Any other is refused with false. Set it before SetParams.
    bool SetCodePage(int codePage);
    int CodePage() const { return codePage_; }
    // Decimal separator, date and time forms of floats and date-times; the default locale at first.
    void SetLocale(const QLocale& locale) { locale_ = locale; }
    const QLocale& Locale() const { return locale_; }
    // Without a sink, SaveWithMsg only returns the result of Save.
    void SetWarningSink(WarningSink sink) { warningSink_ = std::move(sink); }
    // How a save waits between its retries; sleeping at first.
    void SetRetryWait(RetryWait wait) { retryWait_ = std::move(wait); }

    // Opens the file (a host path): 0, or -10 when it cannot be loaded. A file that cannot be
    // loaded is never overwritten: the store then works on an empty file in memory, every read
    // gives its default and Save fails.
    int SetParams(QAnyStringView fileName, QAnyStringView keyWord, int keyOffset);

    // Up to ten more attempts to write the file, 100 ms apart.
    virtual bool RetrySave();
    // Writes the file when something changed since the last successful save.
    virtual bool Save();
    // Save, and when it fails, warns with the message and the caption ("Warning" when empty).
    virtual bool SaveWithMsg(QAnyStringView message, QAnyStringView caption);
    // Removes every section.
    virtual bool Clear();

    const QString& FileName() const { return fileName_; }
    const QString& KeyWord() const { return FKeyWord; }
    int KeyWordOffset() const { return FKeyWordOffset; }
    void SetKeyWordOffset(int offset) { FKeyWordOffset = offset; }
    // When not empty, every section name is read as CurrentKey + "_" + section.
    const QString& CurrentKey() const { return FKey; }
    void SetCurrentKey(QAnyStringView key) { FKey = key.toString(); }
    // The items of the last list read (ReadDataToList, ReadList, ReadCList).
    const QStringList& CurrStringList() const { return FCurrStringList; }

    QString ReadString(QAnyStringView section, QAnyStringView key, QAnyStringView def) const;
    // False, writing nothing, for a value with a line break or a name the file cannot hold.
    bool WriteString(QAnyStringView section, QAnyStringView key, QAnyStringView value);
    // Leading digits of the text, hexadecimal after "$", "x" or "0x"; 0 when it starts with none.
    int ReadInteger(QAnyStringView section, QAnyStringView key, int def) const;
    bool WriteInteger(QAnyStringView section, QAnyStringView key, int value);
    bool ReadBool(QAnyStringView section, QAnyStringView key, bool def) const;
    bool WriteBool(QAnyStringView section, QAnyStringView key, bool value);
    double ReadFloat(QAnyStringView section, QAnyStringView key, double def) const;
    bool WriteFloat(QAnyStringView section, QAnyStringView key, double value);
    QDateTime ReadDatetime(QAnyStringView section, QAnyStringView key, const QDateTime& def) const;
    bool WriteDatetime(QAnyStringView section, QAnyStringView key, const QDateTime& value);
    SettingsRect ReadRect(QAnyStringView section, QAnyStringView key,
                          const SettingsRect& def) const;
    bool WriteRect(QAnyStringView section, QAnyStringView key, const SettingsRect& value);

    bool DeleteSection(QAnyStringView section);
    // Renames the first section of that name; false when there is none.
    bool RenameSection(QAnyStringView oldSectName, QAnyStringView newSectname);

    // Whether every character is a blank, "-" or a digit (true for an empty text).
    bool IsCodeString(QAnyStringView codeStr) const;
    bool WriteCString(QAnyStringView section, QAnyStringView key, QAnyStringView value);
    // The decoded value; the default, not decoded, when the value is absent, empty or equal to it.
    QString ReadCString(QAnyStringView section, QAnyStringView key, QAnyStringView def) const;
    // Texts with line breaks and double quotes, kept on one line.
    bool WriteText(QAnyStringView section, QAnyStringView key, QAnyStringView text);
    QString ReadText(QAnyStringView section, QAnyStringView key, QAnyStringView def) const;
    // Writes the value when rwSign is "*" or equals the stored value, and then saves when
    // forceFlag is set; returns the value stored before.
    QString DefineField(QAnyStringView sect, QAnyStringView ident, QAnyStringView value,
                        bool forceFlag, QAnyStringView rwSign);

    // Data lists, coded: "COUNT=" n, then the non-empty items, separated by "|". Writes nothing
    // (false) when every item is empty.
    bool WriteData(QAnyStringView section, QAnyStringView key, const QStringList& values);
    // Fills the first items.size() elements and returns how many items the list holds.
    int ReadData(QAnyStringView section, QAnyStringView key, std::span<QString> items) const;
    bool WriteDataFromList(QAnyStringView section, QAnyStringView key, const QStringList& list);
    // The items after the count; false when there are none. `list` may be null.
    bool ReadDataToList(QAnyStringView section, QAnyStringView key, QStringList* list);

    // Lists, plain or coded, that give their items back exactly.
    bool WriteList(QAnyStringView section, QAnyStringView key, const QStringList& list);
    bool ReadList(QAnyStringView section, QAnyStringView key, QStringList& list);
    bool WriteCList(QAnyStringView section, QAnyStringView key, const QStringList& list);
    bool ReadCList(QAnyStringView section, QAnyStringView key, QStringList& list);

    // Numbered values: keys made of a prefix (any case) and a number of 0 or more, "Item0"...
    // The number of the first key holding the value; -1 when none does.
    int GetIndexFromValue(QAnyStringView sect, QAnyStringView identPrefix, QAnyStringView value,
                          bool codeEnabled) const;
    // The number holding the value, or a new number past the largest for it; -1 for an empty value.
    int DefineIndexValue(QAnyStringView sect, QAnyStringView identPrefix, QAnyStringView value,
                         bool codeEnabled, bool forceSave);
    // Fills the list with "number=value" lines in file order and returns their count.
    int GetIndValuesList(QAnyStringView sect, QAnyStringView identPrefix, bool codedFlag,
                         QStringList& numValList) const;

private:
    struct NumberedValue {
        int number;
        const QString& value;
    };

    QString sectionName(QAnyStringView section) const;
    std::optional<QString> nonEmptyValue(QAnyStringView section, QAnyStringView key) const;
    std::vector<NumberedValue> numberedValues(QAnyStringView sect, QAnyStringView prefix) const;
    bool takeList(const QString& text, QStringList& list);
    bool writeFile() const;

    int FKeyWordOffset = 0;
    QString FKey;
    QString FKeyWord;
    IniDocument FiniFile;
    QStringList FCurrStringList;
    bool inner_ModFlag = true;
    QString defSectionName = QStringLiteral("Settings");

    QString fileName_;
    // Only a file that was loaded may be rewritten.
    bool loaded_ = false;
    std::optional<QStringConverter::Encoding> byteOrderMark_;
    int codePage_ = kCodePageWestern;
    QLocale locale_;
    WarningSink warningSink_;
    RetryWait retryWait_;
};

}  // namespace tidora::frame
