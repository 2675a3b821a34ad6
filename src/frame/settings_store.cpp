#include "frame/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <thread>

#include "frame/coded_string.h"
#include "frame/delimited_text.h"
#include "frame/settings_file.h"

namespace tidora::frame {
namespace {

constexpr int kRetryRounds = 10;
constexpr std::chrono::milliseconds kRetryInterval{100};
constexpr int kUnloadable = -10;
// ReadText's stand-in for an absent key.
const QString kAbsentMarker = QStringLiteral("*+*-*");
const QString kDataCountPrefix = QStringLiteral("COUNT=");

bool isDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

TwiniSettings::TwiniSettings()
    : retryWait_([](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); }) {}

TwiniSettings::~TwiniSettings() = default;

bool TwiniSettings::SetCodePage(int codePage) {
    if (!isSupportedCodePage(codePage)) {
        return false;
    }
    codePage_ = codePage;
    return true;
}

int TwiniSettings::SetParams(QAnyStringView fileName, QAnyStringView keyWord, int keyOffset) {
    FKeyWordOffset = keyOffset;
    FKeyWord = keyWord.toString().trimmed();
    inner_ModFlag = true;

    QString path = fileName.toString();
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash > 0 && !QFileInfo(path.left(slash)).isDir()) {
        const QString bareName = path.mid(slash + 1);
        if (QFileInfo(bareName).isFile()) {
            path = QDir::current().absoluteFilePath(bareName);
        }
    }
    fileName_ = path;
    if (!QFileInfo::exists(path)) {
        // Not being able to create it is no error here: the first save reports it.
        QFile(path).open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }

    const std::optional<SettingsFileText> content = readSettingsFile(path, codePage_);
    loaded_ = content.has_value();
    FiniFile = loaded_ ? IniDocument::parse(content->text) : IniDocument();
    byteOrderMark_ = loaded_ ? content->byteOrderMark : std::nullopt;
    return loaded_ ? 0 : kUnloadable;
}

// A file that could not be loaded is kept as it is rather than replaced by what is in memory.
bool TwiniSettings::writeFile() const {
    return loaded_ && writeSettingsFile(fileName_, {FiniFile.text(), byteOrderMark_}, codePage_);
}

bool TwiniSettings::RetrySave() {
    if (!loaded_) {
        return false;
    }
    for (int round = 0; round < kRetryRounds; ++round) {
        retryWait_(kRetryInterval);
        if (writeFile()) {
            return true;
        }
    }
    return false;
}

bool TwiniSettings::Save() {
    if (!inner_ModFlag) {
        return true;
    }
    const bool saved = writeFile() || RetrySave();
    if (saved) {
        inner_ModFlag = false;
    }
    return saved;
}

bool TwiniSettings::SaveWithMsg(QAnyStringView message, QAnyStringView caption) {
    const bool saved = Save();
    if (!saved && warningSink_) {
        warningSink_(message.toString(),
                     caption.isEmpty() ? QStringLiteral("Warning") : caption.toString());
    }
    return saved;
}

bool TwiniSettings::Clear() {
    FiniFile.clear();
    inner_ModFlag = true;
    return true;
}

QString TwiniSettings::sectionName(QAnyStringView section) const {
    const QString trimmed = section.toString().trimmed();
    const QString name = trimmed.isEmpty() ? defSectionName : trimmed;
    return FKey.isEmpty() ? name : FKey + u'_' + name;
}

QString TwiniSettings::ReadString(QAnyStringView section, QAnyStringView key,
                                  QAnyStringView def) const {
    const QString* value = FiniFile.value(sectionName(section), key.toString());
    return value != nullptr ? *value : def.toString();
}

bool TwiniSettings::WriteString(QAnyStringView section, QAnyStringView key, QAnyStringView value) {
    if (!FiniFile.setValue(sectionName(section), key.toString(), value.toString())) {
        return false;
    }
    inner_ModFlag = true;
    return true;
}

std::optional<QString> TwiniSettings::nonEmptyValue(QAnyStringView section,
                                                    QAnyStringView key) const {
    const QString* value = FiniFile.value(sectionName(section), key.toString());
    if (value == nullptr || value->isEmpty()) {
        return std::nullopt;
    }
    return *value;
}

int TwiniSettings::ReadInteger(QAnyStringView section, QAnyStringView key, int def) const {
    const auto text = nonEmptyValue(section, key);
    return text ? leadingInteger(*text).value_or(def) : def;
}

bool TwiniSettings::WriteInteger(QAnyStringView section, QAnyStringView key, int value) {
    return WriteString(section, key, QString::number(value));
}

bool TwiniSettings::ReadBool(QAnyStringView section, QAnyStringView key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TwiniSettings::WriteBool(QAnyStringView section, QAnyStringView key, bool value) {
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TwiniSettings::ReadFloat(QAnyStringView section, QAnyStringView key, double def) const {
    const auto text = nonEmptyValue(section, key);
    return text ? parseFloat(*text, locale_).value_or(def) : def;
}

bool TwiniSettings::WriteFloat(QAnyStringView section, QAnyStringView key, double value) {
    return WriteString(section, key, formatFloat(value, locale_));
}

QDateTime TwiniSettings::ReadDatetime(QAnyStringView section, QAnyStringView key,
                                      const QDateTime& def) const {
    const auto text = nonEmptyValue(section, key);
    return text ? parseDateTime(*text, locale_).value_or(def) : def;
}

bool TwiniSettings::WriteDatetime(QAnyStringView section, QAnyStringView key,
                                  const QDateTime& value) {
    return WriteString(section, key, formatDateTime(value, locale_));
}

SettingsRect TwiniSettings::ReadRect(QAnyStringView section, QAnyStringView key,
                                     const SettingsRect& def) const {
    const auto text = nonEmptyValue(section, key);
    return text ? parseRect(*text, def) : def;
}

bool TwiniSettings::WriteRect(QAnyStringView section, QAnyStringView key,
                              const SettingsRect& value) {
    return WriteString(section, key, formatRect(value));
}

bool TwiniSettings::DeleteSection(QAnyStringView section) {
    FiniFile.removeSection(sectionName(section));
    inner_ModFlag = true;
    return true;
}

bool TwiniSettings::RenameSection(QAnyStringView oldSectName, QAnyStringView newSectname) {
    if (oldSectName == newSectname) {
        return true;
    }
    inner_ModFlag = true;
    return FiniFile.renameSection(sectionName(oldSectName), sectionName(newSectname));
}

bool TwiniSettings::IsCodeString(QAnyStringView codeStr) const {
    return isCodedString(codeStr.toString());
}

bool TwiniSettings::WriteCString(QAnyStringView section, QAnyStringView key, QAnyStringView value) {
    return WriteString(section, key, encodeCodedString(value.toString(), FKeyWordOffset));
}

QString TwiniSettings::ReadCString(QAnyStringView section, QAnyStringView key,
                                   QAnyStringView def) const {
    const QString fallback = def.toString();
    const QString stored = ReadString(section, key, fallback);
    if (stored.isEmpty() || stored == fallback) {
        return fallback;
    }
    return decodeCodedString(stored, FKeyWordOffset);
}

bool TwiniSettings::WriteText(QAnyStringView section, QAnyStringView key, QAnyStringView text) {
    QString oneLine = text.toString();
    oneLine.replace(u'"', QStringLiteral("&#34;"));
    // Every line break, not only CR LF, or the rest of the text would become lines of the file.
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    oneLine.replace(u'\r', QStringLiteral("<br>"));
    oneLine.replace(u'\n', QStringLiteral("<br>"));
    return WriteString(section, key, u'"' + oneLine + u'"');
}

QString TwiniSettings::ReadText(QAnyStringView section, QAnyStringView key,
                                QAnyStringView def) const {
    QString text = ReadString(section, key, kAbsentMarker);
    if (text == kAbsentMarker) {
        return def.toString();
    }
    if (text.size() > 1 && text.startsWith(u'"') && text.endsWith(u'"')) {
        text = text.mid(1, text.size() - 2);
    }
    text.replace(QStringLiteral("<br>"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("&#34;"), QStringLiteral("\""));
    return text;
}

QString TwiniSettings::DefineField(QAnyStringView sect, QAnyStringView ident, QAnyStringView value,
                                   bool forceFlag, QAnyStringView rwSign) {
    const QString stored = ReadString(sect, ident, QString());
    const QString sign = rwSign.toString();
    if (sign == u"*" || stored == sign) {
        WriteString(sect, ident, value);
        if (forceFlag) {
            Save();
        }
    }
    return stored;
}

bool TwiniSettings::WriteData(QAnyStringView section, QAnyStringView key,
                              const QStringList& values) {
    QStringList present = values;
    present.removeAll(QString());
    if (present.isEmpty()) {
        return false;
    }
    const QString data = kDataCountPrefix + QString::number(values.size()) + kListDelimiter +
                         present.join(kListDelimiter);
    return WriteCString(section, key, data);
}

int TwiniSettings::ReadData(QAnyStringView section, QAnyStringView key,
                            std::span<QString> items) const {
    const QString data = ReadCString(section, key, QString());
    const QStringList parts = splitDelimited(data, ListSplit::AtDelimiterAndBlanks);
    if (parts.isEmpty()) {
        return 0;
    }
    const qsizetype equals = parts.front().indexOf(u'=');
    const std::optional<int> count =
        equals < 0 ? std::nullopt : wholeInteger(QStringView(parts.front()).sliced(equals + 1));
    if (!count || *count <= 0) {
        return 0;
    }
    size_t found = 0;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts[i].isEmpty()) {
            continue;
        }
        if (found < items.size()) {
            items[found] = parts[i];
        }
        ++found;
    }
    return static_cast<int>(found);
}

bool TwiniSettings::WriteDataFromList(QAnyStringView section, QAnyStringView key,
                                      const QStringList& list) {
    return !list.isEmpty() && WriteData(section, key, list);
}

bool TwiniSettings::ReadDataToList(QAnyStringView section, QAnyStringView key, QStringList* list) {
    FCurrStringList =
        splitDelimited(ReadCString(section, key, QString()), ListSplit::AtDelimiterAndBlanks);
    if (!FCurrStringList.isEmpty()) {
        FCurrStringList.removeFirst();
    }
    if (list != nullptr) {
        *list = FCurrStringList;
    }
    return !FCurrStringList.isEmpty();
}

bool TwiniSettings::takeList(const QString& text, QStringList& list) {
    FCurrStringList = splitDelimited(text, ListSplit::AtDelimiter);
    list = FCurrStringList;
    return !text.isEmpty();
}

bool TwiniSettings::WriteList(QAnyStringView section, QAnyStringView key, const QStringList& list) {
    return WriteString(section, key, joinDelimited(list));
}

bool TwiniSettings::ReadList(QAnyStringView section, QAnyStringView key, QStringList& list) {
    return takeList(ReadString(section, key, QString()), list);
}

bool TwiniSettings::WriteCList(QAnyStringView section, QAnyStringView key,
                               const QStringList& list) {
    return WriteCString(section, key, joinDelimited(list));
}

bool TwiniSettings::ReadCList(QAnyStringView section, QAnyStringView key, QStringList& list) {
    return takeList(ReadCString(section, key, QString()), list);
}

std::vector<TwiniSettings::NumberedValue> TwiniSettings::numberedValues(
    QAnyStringView sect, QAnyStringView prefix) const {
    std::vector<NumberedValue> found;
    const QString prefixText = prefix.toString();
    const IniDocument::Section* section = FiniFile.section(sectionName(sect));
    if (section == nullptr) {
        return found;
    }
    for (const IniDocument::Key& key : section->keys) {
        if (key.name.size() < prefixText.size() ||
            !IniDocument::sameName(QStringView(key.name).first(prefixText.size()), prefixText)) {
            continue;
        }
        const QStringView rest = QStringView(key.name).sliced(prefixText.size());
        const std::optional<int> number = rest.isEmpty()   ? std::optional<int>(0)
                                          : isDigits(rest) ? wholeInteger(rest)
                                                           : std::nullopt;
        if (number) {
            found.push_back({*number, key.value});
        }
    }
    return found;
}

int TwiniSettings::GetIndexFromValue(QAnyStringView sect, QAnyStringView identPrefix,
                                     QAnyStringView value, bool codeEnabled) const {
    const QString wanted =
        (codeEnabled ? encodeCodedString(value.toString(), FKeyWordOffset) : value.toString())
            .trimmed();
    for (const NumberedValue& numbered : numberedValues(sect, identPrefix)) {
        if (numbered.value.trimmed() == wanted) {
            return numbered.number;
        }
    }
    return -1;
}

int TwiniSettings::DefineIndexValue(QAnyStringView sect, QAnyStringView identPrefix,
                                    QAnyStringView value, bool codeEnabled, bool forceSave) {
    if (value.isEmpty()) {
        return -1;
    }
    const QString stored =
        codeEnabled ? encodeCodedString(value.toString(), FKeyWordOffset) : value.toString();
    int largest = -1;
    for (const NumberedValue& numbered : numberedValues(sect, identPrefix)) {
        if (numbered.value.trimmed() == stored.trimmed()) {
            return numbered.number;
        }
        largest = std::max(largest, numbered.number);
    }
    if (largest == std::numeric_limits<int>::max()) {
        return -1;
    }
    const int number = largest + 1;
    if (!WriteString(sect, identPrefix.toString() + QString::number(number), stored)) {
        return -1;
    }
    if (forceSave) {
        Save();
    }
    return number;
}

int TwiniSettings::GetIndValuesList(QAnyStringView sect, QAnyStringView identPrefix, bool codedFlag,
                                    QStringList& numValList) const {
    numValList.clear();
    for (const NumberedValue& numbered : numberedValues(sect, identPrefix)) {
        const QString value =
            codedFlag ? decodeCodedString(numbered.value, FKeyWordOffset) : numbered.value;
        numValList << QString::number(numbered.number) + u'=' + value.trimmed();
    }
    return static_cast<int>(numValList.size());
}

}  // namespace tidora::frame
