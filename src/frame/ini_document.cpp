#include "frame/ini_document.h"

#include <algorithm>

#include "platform/text_utf.h"

namespace tidora::frame {
namespace {

std::string fold(QStringView name) {
    const QByteArray utf8 = name.toUtf8();
    return platform::upperCase(std::string_view(utf8.constData(), utf8.size()));
}

bool hasLineBreak(QStringView text) {
    return text.contains(u'\r') || text.contains(u'\n');
}

bool isKeyName(QStringView name) {
    return !name.isEmpty() && !hasLineBreak(name) && !name.contains(u'=') &&
           !name.startsWith(u'[') && !name.startsWith(u';');
}

template <typename Sections>
auto* findIn(Sections& sections, const std::string& folded) {
    const auto found = std::find_if(sections.begin(), sections.end(),
                                    [&](const auto& s) { return s.folded == folded; });
    return found == sections.end() ? nullptr : &*found;
}

QStringView leftTrimmed(QStringView line) {
    qsizetype start = 0;
    while (start < line.size() && line[start].isSpace()) {
        ++start;
    }
    return line.mid(start);
}

}  // namespace

IniDocument IniDocument::parse(QStringView text) {
    IniDocument document;
    Section* current = nullptr;
    for (QStringView line : text.tokenize(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';')) {
            continue;
        }
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            const QStringView name = trimmed.sliced(1, trimmed.size() - 2).trimmed();
            std::string folded = fold(name);
            current = document.findSection(folded);
            if (current == nullptr) {
                document.sections_.push_back({name.toString(), {}, std::move(folded)});
                current = &document.sections_.back();
            }
            continue;
        }
        // A value keeps its blanks: only the blanks in front of the key are dropped.
        const QStringView entry = leftTrimmed(line);
        const qsizetype equals = entry.indexOf(u'=');
        if (current == nullptr || equals < 0) {
            continue;
        }
        const QStringView name = entry.first(equals).trimmed();
        if (name.isEmpty()) {
            continue;
        }
        current->keys.push_back({name.toString(), entry.sliced(equals + 1).toString(), fold(name)});
    }
    return document;
}

QString IniDocument::text() const {
    static const QString lineBreak = QStringLiteral("\r\n");
    QString out;
    for (const Section& section : sections_) {
        out += u'[' + section.name + u']' + lineBreak;
        for (const Key& key : section.keys) {
            out += key.name + u'=' + key.value + lineBreak;
        }
        out += lineBreak;
    }
    return out;
}

bool IniDocument::sameName(QStringView a, QStringView b) {
    return fold(a) == fold(b);
}

IniDocument::Section* IniDocument::findSection(const std::string& folded) {
    return findIn(sections_, folded);
}

const IniDocument::Section* IniDocument::section(QStringView name) const {
    return findIn(sections_, fold(name.trimmed()));
}

const QString* IniDocument::value(QStringView section, QStringView key) const {
    const Section* found = this->section(section);
    if (found == nullptr) {
        return nullptr;
    }
    const std::string folded = fold(key.trimmed());
    for (const Key& k : found->keys) {
        if (k.folded == folded) {
            return &k.value;
        }
    }
    return nullptr;
}

bool IniDocument::setValue(QStringView section, QStringView key, const QString& value) {
    const QStringView sectionName = section.trimmed();
    const QStringView keyName = key.trimmed();
    if (hasLineBreak(sectionName) || !isKeyName(keyName) || hasLineBreak(value)) {
        return false;
    }
    std::string folded = fold(sectionName);
    Section* target = findSection(folded);
    if (target == nullptr) {
        sections_.push_back({sectionName.toString(), {}, std::move(folded)});
        target = &sections_.back();
    }
    std::string foldedKey = fold(keyName);
    for (Key& k : target->keys) {
        if (k.folded == foldedKey) {
            k.value = value;
            return true;
        }
    }
    target->keys.push_back({keyName.toString(), value, std::move(foldedKey)});
    return true;
}

void IniDocument::removeSection(QStringView name) {
    const std::string folded = fold(name.trimmed());
    std::erase_if(sections_, [&](const Section& s) { return s.folded == folded; });
}

bool IniDocument::renameSection(QStringView from, QStringView to) {
    const QStringView newName = to.trimmed();
    Section* renamed = findSection(fold(from.trimmed()));
    if (renamed == nullptr || hasLineBreak(newName)) {
        return false;
    }
    renamed->name = newName.toString();
    renamed->folded = fold(newName);
    const size_t index = static_cast<size_t>(renamed - sections_.data());
    for (size_t other = 0; other < sections_.size(); ++other) {
        if (other != index && sections_[other].folded == sections_[index].folded) {
            mergeInto(std::min(index, other), std::max(index, other));
            break;
        }
    }
    return true;
}

void IniDocument::mergeInto(size_t target, size_t source) {
    std::vector<Key>& keys = sections_[target].keys;
    std::vector<Key>& moved = sections_[source].keys;
    keys.insert(keys.end(), std::make_move_iterator(moved.begin()),
                std::make_move_iterator(moved.end()));
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(source));
}

}  // namespace tidora::frame
