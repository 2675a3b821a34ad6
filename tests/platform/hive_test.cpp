#include "platform/winepfx/hive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>

#include "fixtures/temp_dir.h"
#include "platform/text_utf.h"

namespace tidora::platform::winepfx {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr FileTime kNow = 0x1dd895e87514b60;  // Unix 1796986698
constexpr const char* kNowKeySuffix = "] 1796986698\n#time=1dd895e87514b60\n";

const std::string kHeader = R"(WINE REGISTRY Version 2
;; All keys relative to \\Registry\\Machine

#arch=win64

)";

// A hive with every kind of line a real one has, plus a multi-line hex value and a key whose name
// is a surrogate pair.
const std::string kSample = kHeader + R"([Control Panel\\International\\\xd83c\xdf0e] 1796987249
#time=1dd895fd3b96068
"Name"="\x41f\x440\x438\x432\x435\x442"

[Software\\Classes\\Wow6432Node\\AppId] 1796987249
#time=1dd895fd00f8d52
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\
  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\
  74,00,77,00,61,00,72,00,65,00,5c,00,43,00,6c,00,61,00,73,00,73,00,65,00,73,\
  00,5c,00,41,00,70,00,70,00,49,00,64,00

[Software\\Tidora] 1700000000
#time=1da0e0a2c3b4d5e
#class="Tidora class"
@="default"
"Run"="\"C:\\Program Files\\Tidora\\tidora.exe\" /tray"
"Count"=dword:0000002a

[Software\\Tidora\\Sub] 1700000001
"Blob"=hex:01,02,ff

[Software\\Wine] 1700000002
#time=1da0e0a2c3b4d60
"Version"="win10"

)";

Hive parsed(const std::string& text) {
    std::string error;
    auto hive = Hive::parse(text, &error);
    if (!hive) {
        ADD_FAILURE() << "parse failed: " << error;
        return *Hive::parse(kHeader, nullptr);
    }
    return std::move(*hive);
}

Hive::NodeId key(const Hive& hive, std::string_view path) {
    const auto node = hive.find(path);
    if (!node) {
        ADD_FAILURE() << "no key " << path;
        return Hive::kRoot;
    }
    return *node;
}

std::string crlf(std::string text) {
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 2)) {
        text.insert(i, 1, '\r');
    }
    return text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

RegValue raw(std::string name, uint32_t type, std::vector<uint8_t> data) {
    return RegValue{std::move(name), type, std::move(data)};
}

RegValue units(std::string name, std::u16string_view text, uint32_t type = RegType::Sz) {
    RegValue v{std::move(name), type, {}};
    for (const char16_t u : text) {
        v.data.push_back(static_cast<uint8_t>(u & 0xFF));
        v.data.push_back(static_cast<uint8_t>(u >> 8));
    }
    return v;
}

// ---- Reading ----

TEST(HiveParse, SerializesUnchangedTextByteForByte) {
    const std::string texts[] = {
        kSample,
        crlf(kSample),
        kSample.substr(0, kSample.size() - 2),  // no blank line and no line break at the end
        kHeader + "[A] 1\n\n\n  odd indent\n; comment\nnot a line Wine knows\n\"v\" = dword:1\t\n",
        kHeader + "[A]\n\"x\"=dword:1\n[a]\n\"y\"=\"2\"\n[A] 5\n#time=7\n",
        "WINE REGISTRY Version 2",
        "WINE REGISTRY Version 2\r\n\r\n[K]\r\n@=\"\"",
    };
    for (const auto& text : texts) {
        EXPECT_EQ(parsed(text).serialize(), text);
    }
}

TEST(HiveParse, ReadsHeader) {
    const Hive machine = parsed(kSample);
    EXPECT_EQ(machine.arch(), "win64");
    EXPECT_EQ(machine.relativeRoot(), "\\Registry\\Machine");

    const Hive bare = parsed("WINE REGISTRY Version 2\n#arch=win32\n");
    EXPECT_EQ(bare.arch(), "win32");
    EXPECT_EQ(bare.relativeRoot(), "");
    EXPECT_EQ(parsed("WINE REGISTRY Version 2\n#arch=arm\n").arch(), "");
}

TEST(HiveParse, RejectsWhatIsNoWineHive) {
    const std::string texts[] = {
        "",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n",
        "WINE REGISTRY Version 1\n",
        "\xEF\xBB\xBFWINE REGISTRY Version 2\n",
        "WINE REGISTRY Version 2 \n",
    };
    for (const auto& text : texts) {
        std::string error;
        EXPECT_FALSE(Hive::parse(text, &error)) << text;
        EXPECT_NE(error.find("not a Wine registry file"), std::string::npos) << error;
    }
}

TEST(HiveParse, FindsKeysCaseInsensitivelyWithTheirTimesAndLinks) {
    const Hive hive = parsed(kSample);
    const auto globe = key(hive, "control panel\\INTERNATIONAL\\\xF0\x9F\x8C\x8E");
    EXPECT_EQ(hive.name(globe), "\xF0\x9F\x8C\x8E");
    EXPECT_EQ(hive.lastWriteTime(globe), 0x1dd895fd3b96068u);

    const auto tidora = key(hive, "\\Software\\\\tidora\\");
    EXPECT_EQ(hive.name(tidora), "Tidora");
    EXPECT_EQ(hive.findChild(tidora, "SUB"), hive.find("Software\\Tidora\\Sub"));
    EXPECT_EQ(hive.lastWriteTime(key(hive, "Software\\Tidora\\Sub")),
              fileTimeFromUnix(1700000001));  // no #time line: the key line's seconds

    const auto software = key(hive, "Software");  // no line of its own
    EXPECT_EQ(hive.lastWriteTime(software), 0u);
    EXPECT_TRUE(hive.values(software).empty());
    std::vector<std::string> names;
    for (const auto child : hive.children(software)) {
        names.push_back(hive.name(child));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Classes", "Tidora", "Wine"}));
    EXPECT_EQ(hive.parent(tidora), software);
    EXPECT_EQ(hive.find(""), Hive::kRoot);
    EXPECT_FALSE(hive.find("Software\\Nope"));

    const auto appId = key(hive, "Software\\Classes\\Wow6432Node\\AppId");
    EXPECT_TRUE(hive.isLink(appId));
    EXPECT_FALSE(hive.isLink(tidora));
    EXPECT_EQ(hive.value(appId, "symboliclinkvalue")->text(),
              "\\Registry\\Machine\\Software\\Classes\\AppId");
}

TEST(HiveParse, DecodesEveryValueTypeAndEscape) {
    struct Case {
        std::string line;
        RegValue expected;
    };
    const Case cases[] = {
        {R"("S"="abc")", RegValue::fromString("S", "abc")},
        {R"(@="default")", RegValue::fromString("", "default")},
        {R"(""="empty name")", RegValue::fromString("", "empty name")},
        {R"("S" = "spaced")", RegValue::fromString("S", "spaced")},
        {R"("E"=str(2):"%USERPROFILE%\\AppData")",
         RegValue::fromString("E", "%USERPROFILE%\\AppData", RegType::ExpandSz)},
        {R"("M"=str(7):"a\0b\0")", RegValue::fromMultiString("M", {"a", "b"})},
        {R"("T"=str(4):"a")", raw("T", RegType::Dword, {0x61, 0, 0, 0})},
        {R"("D"=dword:0000abcd)", RegValue::fromDword("D", 0xabcd)},
        {R"("D"=dword:7)", RegValue::fromDword("D", 7)},
        {R"("B"=hex:01,02,ff)", RegValue::fromBinary("B", {1, 2, 0xff})},
        {R"("B"=hex:)", RegValue::fromBinary("B", {})},
        {R"("B"=hex:1,A,Ff)", RegValue::fromBinary("B", {1, 0xa, 0xff})},
        {R"("Q"=hex(b):01,00,00,00,00,00,00,80)", RegValue::fromQword("Q", 0x8000000000000001)},
        {"\"L\"=hex:01,02,\\\n  03,\\\r\n\t04", RegValue::fromBinary("L", {1, 2, 3, 4})},
        {R"("W"=hex(ffff0007):03,00,00,00)", raw("W", 0xffff0007, {3, 0, 0, 0})},
        {R"("H"=hex(7):61,00)", raw("H", RegType::MultiSz, {0x61, 0})},
        {R"("C"="\a\b\e\f\n\r\t\v")", units("C", u"\a\b\x1b\f\n\r\t\v\0"sv)},
        {R"("X"="\x41\x00e9a\xd83d\xde00\xg")", units("X", u"A\u00e9a\U0001F600xg\0"sv)},
        {R"("O"="\101\0\7\0012\777")", units("O",
                                             u"A\0\a\x01"
                                             u"2\u01ff\0"sv)},
        {R"("P"="\q\"\\\[")", RegValue::fromString("P", "q\"\\[")},
        {"\"U\"=\"\xD0\x9F\xD1\x80\xF0\x9F\x98\x80\"",
         RegValue::fromString("U", "\xD0\x9F\xD1\x80\xF0\x9F\x98\x80")},
        {"\"Bad\"=\"a\xFF\"", units("Bad", u"a\uFFFD\0"sv)},
        {R"("N\"a\\m\x65"=dword:1)", RegValue::fromDword("N\"a\\me", 1)},
        {R"("\xd83d\xde00"=dword:1)", RegValue::fromDword("\xF0\x9F\x98\x80", 1)},
    };
    for (const auto& c : cases) {
        const std::string text = kHeader + "[K]\n" + c.line + "\n";
        const Hive hive = parsed(text);
        EXPECT_EQ(hive.serialize(), text);
        const auto values = hive.values(key(hive, "K"));
        ASSERT_EQ(values.size(), 1u) << c.line;
        EXPECT_EQ(values[0], c.expected) << c.line;
        EXPECT_EQ(hive.value(key(hive, "K"), c.expected.name), c.expected) << c.line;
    }
}

TEST(HiveParse, MergesKeysAndValuesGivenTwice) {
    const Hive hive = parsed(kHeader + R"([A] 1
"x"="1"
"y"="2"
"X"="3"

[B]

[a] 2
#time=5
"z"="4"
"Y"="5"
)");
    const auto a = key(hive, "A");
    EXPECT_EQ(hive.values(a),
              (std::vector<RegValue>{RegValue::fromString("x", "3"), RegValue::fromString("y", "5"),
                                     RegValue::fromString("z", "4")}));
    EXPECT_EQ(hive.value(a, "Y"), RegValue::fromString("y", "5"));
    EXPECT_EQ(hive.children(Hive::kRoot).size(), 2u);
    EXPECT_EQ(hive.lastWriteTime(a), fileTimeFromUnix(1));  // the first block's time
}

// ---- Malformed input ----

TEST(HiveMalformed, KeepsLinesItCannotReadAndSkipsThem) {
    struct Case {
        std::string body;
        std::vector<std::string> values;  // names seen in key K
    };
    const Case cases[] = {
        {"[K]\n\"a\"=hex:zz\n\"ok\"=dword:1\n", {"ok"}},
        {"[K]\n\"a\"=hex:01,,02\n\"b\"=hex:01 02\n\"c\"=hex:012\n", {}},
        {"[K]\n\"a\"=\"unterminated\n\"b\"=\"x\" trailing\n\"c\"=\"x\\\"\n", {}},
        {"[K]\n\"a\"=dword:xyz\n\"b\"=dword:123456789\n\"c\"=dword:\n", {}},
        {"[K]\n\"a\"=str(zz):\"x\"\n\"b\"=str(2)\"x\"\n\"c\"=hex(:01\n\"d\"=text\n", {}},
        {"[K]\n\"a\"=hex:01,\\\n\"b\"=dword:2\n", {"b"}},
        {"[K]\n\"a\"=hex:01,\\", {}},
        {"[K]\n\"a\"=hex:01,\\\n  02,\\\n[L]\n", {}},
        {"[K]\n\"name\n@\n@=\n\"a\"\n#time=zz\n#time=\n", {}},
        {"[K]\n\"a\"=\"\\", {}},
        {"[K]\n\"a\"=\"b\\x\"\n", {"a"}},
        {"[K]\n\"a\"=dword:1\r\r\n\"b\"=\"x\"\r", {"b"}},
        {"[K]\n\"a\0b\"=\"c\0d\"\n\0\n"s, {"a\0b"s}},
        {"[K]\n\"ok\"=dword:1\n[Unclosed\\\\Key\n\"lost\"=dword:2\n", {"ok"}},
        {"[K\\]\n[K]\n\"ok\"=dword:1\n", {"ok"}},
        {"[K] 99999999999999999999999\n#time=fffffffffffffffff\n", {}},
    };
    for (const auto& c : cases) {
        const std::string text = kHeader + c.body;
        const Hive hive = parsed(text);
        EXPECT_EQ(hive.serialize(), text) << c.body;
        std::vector<std::string> names;
        if (const auto k = hive.find("K")) {
            for (const auto& v : hive.values(*k)) {
                names.push_back(v.name);
            }
        }
        EXPECT_EQ(names, c.values) << c.body;
    }
}

TEST(HiveMalformed, ValuesAfterAnUnreadableKeyLineBelongToNoKey) {
    const Hive hive =
        parsed(kHeader + "[A]\n\"a\"=dword:1\n[B\n\"b\"=dword:2\n[C]\n\"c\"=dword:3\n");
    EXPECT_EQ(hive.values(key(hive, "A")).size(), 1u);
    EXPECT_EQ(hive.values(key(hive, "C")).size(), 1u);
    EXPECT_EQ(hive.children(Hive::kRoot).size(), 2u);
}

// ---- Writing values ----

TEST(HiveWrite, WritesValuesAsWineDoes) {
    struct Case {
        RegValue value;
        std::string line;
    };
    const Case cases[] = {
        {RegValue::fromString("Ghost", "\"C:\\Program Files\\Ghost\\ghost.exe\" /tray"),
         R"("Ghost"="\"C:\\Program Files\\Ghost\\ghost.exe\" /tray")"},
        {RegValue::fromString("", "default value"), R"(@="default value")"},
        {RegValue::fromString("E", ""), R"("E"="")"},
        {RegValue::fromDword("Count", 1), R"("Count"=dword:00000001)"},
        {RegValue::fromString("Path", "%USERPROFILE%\\AppData", RegType::ExpandSz),
         R"("Path"=str(2):"%USERPROFILE%\\AppData")"},
        {RegValue::fromMultiString("List", {"a", "b"}), R"("List"=str(7):"a\0b\0")"},
        {RegValue::fromBinary("Blob", {1, 2, 0xff}), R"("Blob"=hex:01,02,ff)"},
        {RegValue::fromBinary("Empty", {}), R"("Empty"=hex:)"},
        {RegValue::fromQword("Q", 1), R"("Q"=hex(b):01,00,00,00,00,00,00,00)"},
        {RegValue::fromString("C", "\xD0\x9F\xD1\x80\xD0\xB8"), R"("C"="\x41f\x440\x438")"},
        {units("H", u"\u00e9a\u00e9g\U0001F30E\0"sv), R"("H"="\x00e9a\xe9g\xd83c\xdf0e")"},
        {units("O",
               u"\x01"
               u"7\x01"
               u"8\x1f\t\x1b\x7f\0"sv),
         R"("O"="\0017\18\37\t\e)"
         "\x7f\""},
        {RegValue::fromDword("N\"a\\me\n", 2), R"("N\"a\\me\n"=dword:00000002)"},
        {raw("Odd", RegType::Sz, {0x61, 0, 0x62}), R"("Odd"=hex(1):61,00,62)"},
        {raw("Open", RegType::ExpandSz, {0x61, 0}), R"("Open"=hex(2):61,00)"},
        {raw("None", RegType::Sz, {}), R"("None"=hex(1):)"},
        {raw("D3", RegType::Dword, {1, 2, 3}), R"("D3"=hex(4):01,02,03)"},
        {raw("T", 0xffff0007, {3, 0, 0, 0}), R"("T"=hex(ffff0007):03,00,00,00)"},
        {units("SymbolicLinkValue", u"\\Registry\\Machine\\Software\\Classes\\AppId",
               RegType::Link),
         "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\\\n"
         "  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\\\n"
         "  74,00,77,00,61,00,72,00,65,00,5c,00,43,00,6c,00,61,00,73,00,73,00,65,00,73,\\\n"
         "  00,5c,00,41,00,70,00,70,00,49,00,64,00"},
    };
    for (const auto& c : cases) {
        Hive hive = parsed(kHeader + "[K] 1\n#time=1\n\n");
        hive.setValue(key(hive, "K"), c.value, kNow);
        EXPECT_EQ(hive.serialize(), kHeader + "[K" + kNowKeySuffix + c.line + "\n\n")
            << c.value.name;
        const Hive again = parsed(hive.serialize());
        EXPECT_EQ(again.value(key(again, "K"), c.value.name), c.value) << c.line;
    }
}

TEST(HiveWrite, ChangedValuesKeepEveryOtherLine) {
    for (const auto& text : {kSample, crlf(kSample)}) {
        const std::string eol = text == kSample ? "\n" : "\r\n";
        const auto lines = [&](std::string s) { return eol == "\n" ? s : crlf(s); };
        const std::string tidoraKey =
            lines("[Software\\\\Tidora] 1700000000\n#time=1da0e0a2c3b4d5e\n");
        const std::string touchedKey = lines(std::string("[Software\\\\Tidora") + kNowKeySuffix);

        Hive added = parsed(text);
        added.setValue(key(added, "Software\\Tidora"), RegValue::fromDword("New", 7), kNow);
        std::string expected = replaced(text, tidoraKey, touchedKey);
        expected = replaced(expected, lines("\"Count\"=dword:0000002a\n"),
                            lines("\"Count\"=dword:0000002a\n\"New\"=dword:00000007\n"));
        EXPECT_EQ(added.serialize(), expected);

        Hive changed = parsed(text);
        changed.setValue(key(changed, "Software\\Tidora"), RegValue::fromString("RUN", "x"), kNow);
        expected = replaced(text, tidoraKey, touchedKey);
        expected =
            replaced(expected, R"("Run"="\"C:\\Program Files\\Tidora\\tidora.exe\" /tray")" + eol,
                     "\"Run\"=\"x\"" + eol);
        EXPECT_EQ(changed.serialize(), expected);

        Hive deleted = parsed(text);
        EXPECT_TRUE(deleted.deleteValue(key(deleted, "Software\\Tidora"), "", kNow));
        EXPECT_FALSE(deleted.deleteValue(key(deleted, "Software\\Tidora"), "gone", kNow));
        expected = replaced(text, tidoraKey, touchedKey);
        expected = replaced(expected, "@=\"default\"" + eol, "");
        EXPECT_EQ(deleted.serialize(), expected);
        EXPECT_EQ(deleted.lastWriteTime(key(deleted, "Software\\Tidora")), kNow);
    }
}

TEST(HiveWrite, AddsTheMissingTimeLineAndLineBreak) {
    // No #time line, no blank line and no line break at the end.
    Hive hive = parsed(kHeader + "[K] 1\n\"a\"=dword:1");
    hive.setValue(key(hive, "K"), RegValue::fromDword("b", 2), kNow);
    EXPECT_EQ(hive.serialize(),
              kHeader + "[K" + kNowKeySuffix + "\"a\"=dword:1\n\"b\"=dword:00000002\n");

    Hive emptied = parsed(kHeader + "[K]\n\"a\"=dword:1\n\n");
    emptied.deleteValue(key(emptied, "K"), "a", kNow);
    emptied.setValue(key(emptied, "K"), RegValue::fromDword("b", 2), kNow);
    EXPECT_EQ(emptied.serialize(), kHeader + "[K" + kNowKeySuffix + "\"b\"=dword:00000002\n\n");

    Hive unterminated = parsed(kHeader + "[K]\n\"a\"=dword:1\r");
    unterminated.createKey("L", kNow);
    EXPECT_EQ(unterminated.serialize(),
              kHeader + "[K]\n\"a\"=dword:1\r\n[L" + kNowKeySuffix + "\n");
}

TEST(HiveWrite, ChangesTheFirstOfKeysAndValuesGivenTwice) {
    Hive hive = parsed(kHeader + "[A]\n\"x\"=\"1\"\n\n[A]\n\"X\"=\"2\"\n\"y\"=\"3\"\n");
    const auto a = key(hive, "A");
    hive.setValue(a, RegValue::fromString("x", "new"), kNow);
    hive.setValue(a, RegValue::fromString("z", "4"), kNow);
    EXPECT_EQ(hive.serialize(),
              kHeader + "[A" + kNowKeySuffix + "\"x\"=\"new\"\n\"z\"=\"4\"\n\n[A]\n\"y\"=\"3\"\n");
    const auto expected =
        std::vector<RegValue>{RegValue::fromString("x", "new"), RegValue::fromString("z", "4"),
                              RegValue::fromString("y", "3")};
    EXPECT_EQ(hive.values(a), expected);
    const Hive again = parsed(hive.serialize());
    EXPECT_EQ(again.values(key(again, "A")), expected);
}

// ---- Keys ----

TEST(HiveKeys, CreateKeyWritesOneLineAfterItsParentsSubtree) {
    Hive hive = parsed(kSample);
    const std::string before = hive.serialize();
    EXPECT_EQ(hive.createKey("software\\TIDORA", kNow), key(hive, "Software\\Tidora"));
    EXPECT_EQ(hive.createKey("Software", kNow), key(hive, "Software"));
    EXPECT_EQ(hive.serialize(), before);

    const auto created = hive.createKey("Software\\Tidora\\New\\Deeper", kNow);
    EXPECT_EQ(hive.name(created), "Deeper");
    EXPECT_EQ(hive.lastWriteTime(created), kNow);
    EXPECT_EQ(hive.lastWriteTime(key(hive, "Software\\Tidora\\New")), 0u);
    const std::string block = std::string("[Software\\\\Tidora\\\\New\\\\Deeper") + kNowKeySuffix;
    EXPECT_EQ(hive.serialize(),
              replaced(kSample, "[Software\\\\Wine]", block + "\n[Software\\\\Wine]"));

    const auto odd = hive.createKey("Top\\a[b]\"c\"\\\xF0\x9F\x8C\x8E", kNow);
    EXPECT_TRUE(hive.serialize().ends_with("\"win10\"\n\n[Top\\\\a\\[b\\]\"c\"\\\\\\xd83c\\xdf0e"s +
                                           kNowKeySuffix + "\n"))
        << hive.serialize();
    const Hive again = parsed(hive.serialize());
    EXPECT_TRUE(again.find("Software\\Tidora\\New\\Deeper"));
    EXPECT_EQ(again.name(key(again, "Top\\A[B]\"C\"\\\xF0\x9F\x8C\x8E")), hive.name(odd));
}

TEST(HiveKeys, ManySiblingsStayFindableThroughDeletesAndRecreation) {
    Hive hive = parsed(kHeader);
    const auto name = [](int i) {
        return (i % 2 ? "\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87" : "key") + std::to_string(i);
    };
    for (int i = 0; i < 3000; ++i) {
        hive.createKey("Classes\\" + name(i), kNow);
    }
    for (int i = 0; i < 3000; i += 3) {
        EXPECT_TRUE(hive.deleteKeyTree(key(hive, "Classes\\" + name(i)), kNow));
    }
    for (int i = 0; i < 3000; i += 6) {
        hive.createKey("Classes\\" + name(i), kNow);
    }
    const auto classes = key(hive, "CLASSES");
    for (int i = 0; i < 3000; ++i) {
        const auto child = hive.findChild(classes, upperCase(name(i)));
        EXPECT_EQ(child.has_value(), i % 3 != 0 || i % 6 == 0) << i;
        if (child) {
            EXPECT_EQ(hive.name(*child), name(i));
        }
    }
    EXPECT_EQ(hive.children(classes).size(), 2000u + 500u);
    const Hive again = parsed(hive.serialize());
    EXPECT_EQ(again.children(key(again, "Classes")).size(), 2500u);
}

TEST(HiveKeys, DeleteKeyTreeRemovesTheBlocksOfTheKeyAndItsSubkeys) {
    Hive hive = parsed(kSample);
    const auto tidora = key(hive, "Software\\Tidora");
    const auto sub = key(hive, "Software\\Tidora\\Sub");
    EXPECT_FALSE(hive.deleteKeyTree(Hive::kRoot, kNow));
    EXPECT_TRUE(hive.deleteKeyTree(tidora, kNow));
    EXPECT_FALSE(hive.deleteKeyTree(tidora, kNow));

    const size_t begin = kSample.find("[Software\\\\Tidora]");
    const size_t end = kSample.find("[Software\\\\Wine]");
    EXPECT_EQ(hive.serialize(), kSample.substr(0, begin) + kSample.substr(end));
    EXPECT_FALSE(hive.find("Software\\Tidora"));
    EXPECT_FALSE(hive.exists(sub));
    EXPECT_TRUE(hive.values(sub).empty());
    EXPECT_EQ(hive.name(sub), "");
    hive.setValue(sub, RegValue::fromDword("x", 1), kNow);
    EXPECT_EQ(hive.serialize(), kSample.substr(0, begin) + kSample.substr(end));

    // A key created again comes after its parent's other subkeys.
    hive.createKey("Software\\Tidora", kNow);
    EXPECT_EQ(hive.serialize(), kSample.substr(0, begin) + kSample.substr(end) +
                                    "[Software\\\\Tidora" + kNowKeySuffix + "\n");
}

TEST(HiveKeys, KeysWithoutALineOfTheirOwnGetOneWhenNeeded) {
    // "Control Panel\International" exists only through its subkey's line.
    Hive hive = parsed(kSample);
    const auto international = key(hive, "Control Panel\\International");
    hive.setValue(international, RegValue::fromString("sCountry", "Earth"), kNow);
    const std::string ownLine = std::string("[Control Panel\\\\International") + kNowKeySuffix +
                                "\"sCountry\"=\"Earth\"\n\n";
    EXPECT_EQ(hive.serialize(), replaced(kSample, "[Control", ownLine + "[Control"));

    // Losing its last subkey would make a key vanish from the file: it gets its own line instead.
    Hive pruned = parsed(kSample);
    EXPECT_TRUE(pruned.deleteKeyTree(key(pruned, "Software\\Classes\\Wow6432Node\\AppId"), kNow));
    const size_t begin = kSample.find("[Software\\\\Classes");
    const size_t end = kSample.find("[Software\\\\Tidora]");
    EXPECT_EQ(pruned.serialize(), kSample.substr(0, begin) + "[Software\\\\Classes\\\\Wow6432Node" +
                                      kNowKeySuffix + "\n" + kSample.substr(end));
    const Hive again = parsed(pruned.serialize());
    EXPECT_TRUE(again.find("Software\\Classes\\Wow6432Node"));
}

// ---- Files ----

TEST(HiveSave, ReplacesTheFileAndKeepsTheFirstVersionAsBackup) {
    TempDir dir;
    const std::string path = dir / "system.reg";
    writeFile(path, kSample);
    std::string error;
    auto hive = Hive::load(path, &error);
    ASSERT_TRUE(hive) << error;

    hive->setValue(key(*hive, "Software\\Wine"), RegValue::fromString("Version", "win7"), kNow);
    const auto first = hive->save(path);
    ASSERT_TRUE(first) << first.error();
    EXPECT_EQ(readFile(path), hive->serialize());
    EXPECT_EQ(readFile(path + ".tidora-backup"), kSample);

    hive->createKey("Software\\More", kNow);
    ASSERT_TRUE(hive->save(path));
    EXPECT_EQ(readFile(path), hive->serialize());
    EXPECT_EQ(readFile(path + ".tidora-backup"), kSample);

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.insert(entry.path().filename());
    }
    EXPECT_EQ(names, (std::set<std::string>{"system.reg", "system.reg.tidora-backup"}));
}

TEST(HiveSave, FailsWithoutChangingAnything) {
    TempDir dir;
    Hive hive = parsed(kSample);
    const auto noFolder = hive.save(dir / "missing/system.reg");
    EXPECT_FALSE(noFolder);
    EXPECT_NE(noFolder.error().find("missing/system.reg"), std::string::npos) << noFolder.error();

    std::filesystem::create_directory(dir / "system.reg");
    writeFile(dir / "system.reg.tidora-backup", "older backup");
    EXPECT_FALSE(hive.save(dir / "system.reg"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "system.reg"));
    EXPECT_EQ(readFile(dir / "system.reg.tidora-backup"), "older backup");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);

    std::string error;
    EXPECT_FALSE(Hive::load(dir / "absent.reg", &error));
    EXPECT_NE(error.find("absent.reg"), std::string::npos) << error;
    writeFile(dir / "other.txt", "hello\n");
    EXPECT_FALSE(Hive::load(dir / "other.txt", &error));
    EXPECT_NE(error.find("other.txt"), std::string::npos) << error;
}

}  // namespace
}  // namespace tidora::platform::winepfx
