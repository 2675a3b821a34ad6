#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <vector>

namespace tidora::frame {

// An ini file held in memory. Sections and keys keep their file order and spelling; names are
// matched without regard to case, as Windows does. Comments, blank lines, lines outside a
// section and lines without "=" carry no setting and are not kept.
class IniDocument {
public:
    struct Key {
        QString name;
        QString value;
        std::string folded;  // upper-cased UTF-8 name, for matching
    };
    struct Section {
        QString name;
        std::vector<Key> keys;
        std::string folded;
    };

    // A section that appears twice is merged into its first occurrence; of two equal keys in a
    // section the first one counts.
    static IniDocument parse(QStringView text);
    // Every section as "[name]", its "key=value" lines and a blank line, with CR LF breaks.
    QString text() const;

    const std::vector<Section>& sections() const { return sections_; }
    const Section* section(QStringView name) const;
    const QString* value(QStringView section, QStringView key) const;

    // False, changing nothing, when a name or the value could not be written back as one line
    // that reads as the same key: a line break anywhere, a key that is empty, holds "=" or starts
    // with "[" or ";".
    bool setValue(QStringView section, QStringView key, const QString& value);
    void removeSection(QStringView name);
    // Renames the first section called `from`; a section already called `to` absorbs it, as the
    // file would read when loaded again. False when there is no such section or `to` is no name.
    bool renameSection(QStringView from, QStringView to);
    void clear() { sections_.clear(); }

    // Whether two names match as section or key names do.
    static bool sameName(QStringView a, QStringView b);

private:
    Section* findSection(const std::string& folded);
    void mergeInto(size_t target, size_t source);

    std::vector<Section> sections_;
};

}  // namespace tidora::frame
