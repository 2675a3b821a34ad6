#include "platform/windows_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace tidora::platform {
namespace {

TEST(Mask, FindFirstFileRules) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"anything.at.all", "*", true},
        {"README", "*.*", true},
        {"a.txt", "*.*", true},
        {"setup.LOG", "*.log", true},
        {"setup.log.old", "*.log", false},
        {"log", "*.log", false},
        {"Application.Evtx", "*.evt*", true},
        {"app.evt", "*.evt*", true},
        {"thumbcache_256.db", "thumbcache_*.db", true},
        {"THUMBCACHE_.DB", "thumbcache_*.db", true},
        {"thumbcache_256.dbx", "thumbcache_*.db", false},
        {"iconcache_256.db", "thumbcache_*.db", false},
        {"crash.dmp", "*.dmp", true},
        {"Word.lnk", "*.lnk", true},
        {"abc", "abc.*", true},
        {"abc.def", "abc.*", true},
        {"abcd", "abc.*", false},
        {"README", "*.", true},
        {"a.txt", "*.", false},
        {"abc", "abc.", true},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbc", "a?c", false},
        // "?" takes one character, not one byte: Cyrillic letters are two bytes, an emoji four.
        {"\xD1\x84.txt", "?.txt", true},
        {"\xF0\x9F\x98\x80.txt", "?.txt", true},
        {"\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.TXT",
         "\xD0\x9E\xD0\xA2\xD0\xA7\xD0\x81\xD0\xA2*", true},
        {"x", "", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab",
         "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesWindowsMask(c.name, c.mask), c.matches)
            << "name \"" << c.name << "\", mask \"" << c.mask << "\"";
    }
}

}  // namespace
}  // namespace tidora::platform
