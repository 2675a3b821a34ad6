#include "platform/shell_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/text_utf.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::platform {
namespace {

std::string u16le(uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string u32le(uint32_t v) {
    return u16le(static_cast<uint16_t>(v)) + u16le(static_cast<uint16_t>(v >> 16));
}

std::string utf16z(std::string_view utf8) {
    std::string out;
    for (const char16_t unit : utf8ToUtf16(utf8)) {
        out += u16le(unit);
    }
    return out + u16le(0);
}

std::string item(const std::string& data) {
    return u16le(static_cast<uint16_t>(data.size() + 2)) + data;
}

// The bytes of a literal that holds zero bytes.
template <size_t N>
std::string raw(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

std::string rootFolder(const std::string& clsid) {
    return item("\x1F\x50" + clsid);
}

std::string myComputer() {
    return rootFolder(raw("\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D"));
}

std::string drive(const std::string& name) {
    std::string data = "\x2F" + name;
    data.resize(23, '\0');
    return item(data);
}

// A file or folder item: the primary name (8-bit, or UTF-16 when the type has bit 0x04), then,
// when longName is given, an extension block of that version, located by the trailing offset.
std::string fileEntry(uint8_t type, const std::string& primary,
                      std::optional<std::string> longName = std::nullopt, uint16_t version = 9) {
    std::string data = std::string(1, static_cast<char>(type)) + std::string(11, '\0');
    data += (type & 0x04) ? utf16z(primary) : primary + '\0';
    if (data.size() % 2) {
        data += '\0';
    }
    if (longName) {
        const size_t blockAt = data.size() + 2;
        const size_t nameAt = version >= 9 ? 46 : version >= 8 ? 42 : version >= 7 ? 38 : 20;
        std::string block = u16le(version) + u32le(0xBEEF0004);
        block.resize(nameAt - 2, '\0');
        block += utf16z(*longName) + u16le(static_cast<uint16_t>(blockAt));
        data += u16le(static_cast<uint16_t>(block.size() + 2)) + block;
    }
    return item(data);
}

std::string idList(const std::vector<std::string>& items) {
    std::string list;
    for (const auto& i : items) {
        list += i;
    }
    list += u16le(0);
    return u16le(static_cast<uint16_t>(list.size())) + list;
}

// LinkInfo with a VolumeID and 8-bit LocalBasePath and CommonPathSuffix; with unicodeBase, the
// header also names UTF-16 copies of both.
std::string localLinkInfo(const std::string& base, const std::string& suffix,
                          std::optional<std::string> unicodeBase = std::nullopt,
                          const std::string& unicodeSuffix = {}) {
    const uint32_t header = unicodeBase ? 0x24 : 0x1C;
    const std::string volume = u32le(0x11) + u32le(3) + u32le(0x1234) + u32le(0x10) + '\0';
    const uint32_t volumeAt = header;
    const uint32_t baseAt = volumeAt + static_cast<uint32_t>(volume.size());
    const uint32_t suffixAt = baseAt + static_cast<uint32_t>(base.size() + 1);
    std::string tail = volume + base + '\0' + suffix + '\0';
    std::string offsets = u32le(volumeAt) + u32le(baseAt) + u32le(0) + u32le(suffixAt);
    if (unicodeBase) {
        const uint32_t uBaseAt = header + static_cast<uint32_t>(tail.size());
        const std::string uBase = utf16z(*unicodeBase);
        offsets += u32le(uBaseAt) + u32le(uBaseAt + static_cast<uint32_t>(uBase.size()));
        tail += uBase + utf16z(unicodeSuffix);
    }
    const uint32_t size = header + static_cast<uint32_t>(tail.size());
    return u32le(size) + u32le(header) + u32le(1) + offsets + tail;
}

std::string networkLinkInfo() {
    const std::string share = "\\\\server\\share";
    const std::string net = u32le(0x14 + static_cast<uint32_t>(share.size()) + 1) + u32le(0) +
                            u32le(0x14) + u32le(0) + u32le(0x00020000) + share + '\0';
    const uint32_t suffixAt = 0x1C + static_cast<uint32_t>(net.size());
    const std::string tail = net + "doc.txt" + '\0';
    return u32le(0x1C + static_cast<uint32_t>(tail.size())) + u32le(0x1C) + u32le(2) + u32le(0) +
           u32le(0) + u32le(0x1C) + u32le(suffixAt) + tail;
}

std::string nameString(std::string_view utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    std::string out = u16le(static_cast<uint16_t>(text.size()));
    for (const char16_t unit : text) {
        out += u16le(unit);
    }
    return out;
}

// A whole link: header, then the ID list and LinkInfo when given, then a Unicode NAME string.
std::string link(const std::string& ids, const std::string& info, uint32_t extraFlags = 0) {
    const uint32_t flags =
        (ids.empty() ? 0 : 0x1) | (info.empty() ? 0 : 0x2) | 0x4 | 0x80 | extraFlags;
    std::string header = u32le(0x4C) +
                         raw("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46") +
                         u32le(flags);
    header.resize(0x4C, '\0');
    return header + ids + info + nameString("A shortcut") + u32le(0);
}

const std::string kSystem32Ids =
    idList({myComputer(), drive("C:\\"), fileEntry(0x31, "windows", "windows", 3),
            fileEntry(0x31, "system32", "system32", 8), fileEntry(0x32, "notepad.exe")});

struct Case {
    const char* what;
    std::string bytes;
    int codePage;
    std::string target;
};

std::vector<Case> validCases() {
    const std::string programFiles = fileEntry(0x31, "PROGRA~1", "Program Files");
    return {
        {"8-bit base path, Western", link(kSystem32Ids, localLinkInfo("C:\\Caf\xE9\\a.exe", "")),
         1252, "C:\\Café\\a.exe"},
        {"8-bit base path, Cyrillic",
         link("", localLinkInfo("C:\\\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB\\a.exe", "")), 1251,
         "C:\\Программы\\a.exe"},
        {"8-bit base path, UTF-8", link("", localLinkInfo("C:\\Программы\\a.exe", "")), 65001,
         "C:\\Программы\\a.exe"},
        {"base path and suffix", link("", localLinkInfo("C:\\Data\\", "notes.txt")), 1252,
         "C:\\Data\\notes.txt"},
        {"Unicode paths win over 8-bit ones",
         link("", localLinkInfo("C:\\??\\?.txt", "", "C:\\日本\\", "ё.txt")), 1252,
         "C:\\日本\\ё.txt"},
        {"network share only", link(kSystem32Ids, networkLinkInfo()), 1252, ""},
        {"ID list: long names of each block version", link(kSystem32Ids, ""), 1252,
         "C:\\windows\\system32\\notepad.exe"},
        {"ID list: long name over short name",
         link(idList({myComputer(), drive("D:\\"), programFiles,
                      fileEntry(0x32, "TOOL~1.EXE", "Tool kit.exe", 7)}),
              ""),
         1252, "D:\\Program Files\\Tool kit.exe"},
        {"ID list: 8-bit and UTF-16 primary names",
         link(idList({myComputer(), drive("C:\\"), fileEntry(0x31, "\xC4\xE0\xED\xED\xFB\xE5"),
                      fileEntry(0x36, "отчёт.txt")}),
              ""),
         1251, "C:\\Данные\\отчёт.txt"},
        {"ID list: a drive alone", link(idList({myComputer(), drive("E:\\")}), ""), 1252, "E:\\"},
        {"ID list: not below My Computer",
         link(idList({rootFolder(
                          raw("\x20\x20\xEC\x21\xEA\x3A\x69\x10\xA2\xDD\x08\x00\x2B\x30\x30\x9D")),
                      fileEntry(0x32, "x.exe")}),
              ""),
         1252, ""},
        {"LinkInfo without a local path falls back to the ID list",
         link(kSystem32Ids, u32le(0x1C) + u32le(0x1C) + u32le(0) + std::string(16, '\0')), 1252,
         "C:\\windows\\system32\\notepad.exe"},
        {"ignored LinkInfo", link(kSystem32Ids, localLinkInfo("C:\\other.exe", ""), 0x100), 1252,
         "C:\\windows\\system32\\notepad.exe"},
        {"neither ID list nor LinkInfo", link("", ""), 1252, ""},
    };
}

TEST(ShellLink, TargetsOfWellFormedLinks) {
    for (const Case& c : validCases()) {
        EXPECT_EQ(shellLinkTarget(c.bytes, c.codePage), c.target) << c.what;
    }
}

TEST(ShellLink, DamagedLinksGiveNoTarget) {
    const std::string good = link("", localLinkInfo("C:\\a.exe", ""));
    const auto patched = [&](size_t at, std::string bytes) {
        std::string copy = good;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    constexpr size_t kInfo = 0x4C;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header size", patched(0, u32le(0x4D))},
        {"class id", patched(4, "\x02")},
        {"LinkInfo larger than the file", patched(kInfo, u32le(0x10000))},
        {"LinkInfo header too small", patched(kInfo + 4, u32le(0x10))},
        {"LinkInfo header past its end", patched(kInfo + 4, u32le(0x400))},
        {"base path offset past the end", patched(kInfo + 0x10, u32le(0x7FFFFFFF))},
        {"base path offset inside the header", patched(kInfo + 0x10, u32le(0x08))},
        {"suffix offset past the end", patched(kInfo + 0x18, u32le(0xFFFFFFFF))},
        {"ID list larger than the file", link(u16le(0xFFFF), "")},
        {"ID list item of size 1", link(u16le(4) + u16le(1) + u16le(0), "")},
        {"ID list item past the list", link(u16le(4) + u16le(8) + u16le(0), "")},
        {"ID list without its terminator", link(u16le(0x2F) + myComputer() + drive("C:\\"), "")},
        {"name with a backslash",
         link(idList({myComputer(), drive("C:\\"), fileEntry(0x32, "..\\x")}), "")},
        {"drive that is no drive", link(idList({myComputer(), drive("CC:")}), "")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shellLinkTarget(c.bytes, 1252), "") << c.what;
    }
}

// A copy cut short anywhere, or with any one byte changed, reads without a fault and gives valid
// UTF-8; a cut copy gives the whole target or nothing.
TEST(ShellLink, TruncatedAndAlteredCopiesAreReadSafely) {
    for (const Case& c : validCases()) {
        for (size_t length = 0; length < c.bytes.size(); ++length) {
            const std::string target = shellLinkTarget(c.bytes.substr(0, length), c.codePage);
            EXPECT_TRUE(target.empty() || target == c.target) << c.what << " cut at " << length;
        }
        for (size_t at = 0; at < c.bytes.size(); ++at) {
            for (const char value : {'\0', '\x7F', '\xFF'}) {
                std::string altered = c.bytes;
                altered[at] = value;
                EXPECT_TRUE(isValidUtf8(shellLinkTarget(altered, c.codePage)))
                    << c.what << " byte " << at;
            }
        }
    }
}

class ShellLinkMachine : public ::testing::Test {
protected:
    testing::TempDir tmp_;
    testing::PrefixBuilder prefix_{tmp_ / "prefix"};
};

TEST_F(ShellLinkMachine, ReadsOnlySmallRegularFiles) {
    const std::string good = link(kSystem32Ids, localLinkInfo("C:\\windows\\notepad.exe", ""));
    prefix_.fresh()
        .file("C:\\links\\notepad.lnk", good)
        .file("C:\\links\\large.lnk", good + std::string(1 << 20, '\0'))
        .file("C:\\links\\text.lnk", "not a shortcut")
        .folder("C:\\links\\folder.lnk")
        .link("C:\\links\\symlink.lnk", prefix_.unixPath("C:\\links\\notepad.lnk"));
    prefix_.write();
    ASSERT_EQ(mkfifo(prefix_.unixPath("C:\\links\\fifo.lnk").c_str(), 0600), 0);
    std::string error;
    const auto machine = winepfx::WinePrefixMachine::open(prefix_.prefixDir(), &error);
    ASSERT_TRUE(machine) << error;

    EXPECT_EQ(machine->shortcutTarget("c:\\LINKS\\Notepad.lnk"), "C:\\windows\\notepad.exe");
    for (const char* name :
         {"large.lnk", "text.lnk", "folder.lnk", "symlink.lnk", "fifo.lnk", "missing.lnk"}) {
        EXPECT_EQ(machine->shortcutTarget(std::string("C:\\links\\") + name), "") << name;
    }
    EXPECT_EQ(machine->shortcutTarget("not a path"), "");
}

}  // namespace
}  // namespace tidora::platform
