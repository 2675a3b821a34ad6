#include "frame/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <functional>
#include <memory>

#include "fixtures/temp_dir.h"
#include "fixtures/qstring_print.h"

namespace tidora::frame {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
protected:
    std::string path() const { return dir / "cfg/app.ini"; }

    // A store opened on the file holding `content`, its retries counted instead of slept.
    std::unique_ptr<TwiniSettings> open(const std::string& content, int codePage = 1252) {
        testing::writeFile(path(), content);
        auto store = std::make_unique<TwiniSettings>();
        EXPECT_TRUE(store->SetCodePage(codePage));
        store->SetRetryWait([this](std::chrono::milliseconds wait) {
            EXPECT_EQ(wait, std::chrono::milliseconds(100));
            ++retryRounds;
            if (onRetry) {
                onRetry(retryRounds);
            }
        });
        EXPECT_EQ(store->SetParams(QString::fromStdString(path()), " QOLVE ", 6), 0);
        return store;
    }

    std::string content() const { return testing::readFile(path()); }

    testing::TempDir dir;
    int retryRounds = 0;
    std::function<void(int round)> onRetry;
};

TEST_F(SettingsFile, KeepsOrderAndSpellingAndMatchesNamesInAnyCase) {
    auto store = open(
        "; comment\r\n"
        "orphan=1\r\n"
        "[User]\r\n"
        "IMIT=1\r\n"
        "  CL_Regime = 3 \r\n"
        "no equals sign\r\n"
        "\r\n"
        "[Other]\n"
        "a=x=y\n"
        "[USER]\r\n"
        "Extra=5\r\n"
        "imit=shadowed\r\n");
    EXPECT_EQ(store->KeyWord(), "QOLVE");
    EXPECT_EQ(store->ReadString("user", "imit", "d"), "1");
    EXPECT_EQ(store->ReadString("USER", "cl_regime", "d"), " 3 ");
    EXPECT_EQ(store->ReadInteger("USER", "cl_regime", 0), 3);
    EXPECT_EQ(store->ReadString("other", "A", "d"), "x=y");
    EXPECT_EQ(store->ReadString("User", "EXTRA", "d"), "5");
    EXPECT_EQ(store->ReadString("", "orphan", "d"), "d");

    EXPECT_TRUE(store->WriteString("user", "Imit", "0"));
    EXPECT_TRUE(store->WriteString("New", "k", "v"));
    EXPECT_TRUE(store->WriteString("", "Plain", ""));
    ASSERT_TRUE(store->Save());
    EXPECT_EQ(content(),
              "[User]\r\nIMIT=0\r\nCL_Regime= 3 \r\nExtra=5\r\nimit=shadowed\r\n\r\n"
              "[Other]\r\na=x=y\r\n\r\n"
              "[New]\r\nk=v\r\n\r\n"
              "[Settings]\r\nPlain=\r\n\r\n");
}

TEST_F(SettingsFile, RefusesWhatALineCannotHoldAndRoundTripsTheRest) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        bool written;
    };
    const Case cases[] = {
        {"S", "multi", "one\r\ntwo", false},
        {"S", "lf", "one\ntwo", false},
        {"S", "a=b", "v", false},
        {"S", "[x", "v]", false},
        {"S", ";x", "v", false},
        {"S", "  ", "v", false},
        {"S\nT", "k", "v", false},
        {"S", "blanks", "  a b  ", true},
        {"S", "equals", "=x=", true},
        {"S", "inner blank", "\"quoted\"", true},
        {"S", "empty", "", true},
        {"S]x", "k", "[v]", true},
    };
    auto store = open("");
    for (const Case& c : cases) {
        EXPECT_EQ(store->WriteString(c.section, c.key, c.value), c.written) << c.key;
    }
    ASSERT_TRUE(store->Save());
    auto reloaded = open(content());
    for (const Case& c : cases) {
        EXPECT_EQ(reloaded->ReadString(c.section, c.key, "absent"),
                  c.written ? QString(c.value) : QString("absent"))
            << c.key;
    }
}

TEST_F(SettingsFile, SavesOnlyWhatChangedSinceTheLastSave) {
    struct Case {
        const char* what;
        std::function<void(TwiniSettings&)> act;
        bool rewrites;
    };
    const Case cases[] = {
        {"reads",
         [](TwiniSettings& s) {
             s.ReadString("A", "k", "");
             s.ReadInteger("A", "k", 0);
             QStringList list;
             s.ReadList("A", "k", list);
         },
         false},
        {"rename to the same name", [](TwiniSettings& s) { s.RenameSection("A", "A"); }, false},
        {"refused write", [](TwiniSettings& s) { s.WriteString("A", "k", "x\ny"); }, false},
        {"numbered value already there",
         [](TwiniSettings& s) { s.DefineIndexValue("A", "k", "1", false, false); }, false},
        {"write", [](TwiniSettings& s) { s.WriteString("A", "k", "2"); }, true},
        {"delete of an absent section", [](TwiniSettings& s) { s.DeleteSection("none"); }, true},
        {"rename of an absent section", [](TwiniSettings& s) { s.RenameSection("x", "y"); }, true},
        {"clear", [](TwiniSettings& s) { s.Clear(); }, true},
    };
    for (const Case& c : cases) {
        auto store = open("[A]\r\nk=1\r\n");
        ASSERT_TRUE(store->Save()) << c.what;
        testing::writeFile(path(), "changed by someone else");
        c.act(*store);
        EXPECT_TRUE(store->Save()) << c.what;
        EXPECT_EQ(content() != "changed by someone else", c.rewrites) << c.what;
    }
}

TEST_F(SettingsFile, EachSaveAfterAWriteRewritesTheFile) {
    auto store = open("");
    for (const char* value : {"1", "2"}) {
        testing::writeFile(path(), "stale");
        store->WriteString("A", "k", value);
        ASSERT_TRUE(store->Save());
        EXPECT_EQ(content(), std::string("[A]\r\nk=") + value + "\r\n\r\n");
    }
}

// Ways a write can fail even for root, and how to undo them.
struct Obstacle {
    const char* what;
    std::function<void(const std::string& file)> put;
    std::function<void(const std::string& file)> remove;
};

std::vector<Obstacle> obstacles() {
    return {
        {"a folder in the file's place",
         [](const std::string& f) { fs::remove(f), fs::create_directory(f); },
         [](const std::string& f) { fs::remove(f); }},
        {"a read-only file", [](const std::string& f) { ::chmod(f.c_str(), 0444); },
         [](const std::string& f) { ::chmod(f.c_str(), 0644); }},
        {"the folder gone", [](const std::string& f) { fs::remove_all(fs::path(f).parent_path()); },
         [](const std::string& f) { fs::create_directory(fs::path(f).parent_path()); }},
    };
}

TEST_F(SettingsFile, AFailedWriteIsRetriedTenTimesThenReportedAsFalse) {
    for (const Obstacle& obstacle : obstacles()) {
        auto store = open("[A]\r\nk=old\r\n");
        store->WriteString("A", "k", "new");
        obstacle.put(path());
        retryRounds = 0;
        EXPECT_FALSE(store->Save()) << obstacle.what;
        EXPECT_EQ(retryRounds, 10) << obstacle.what;

        obstacle.remove(path());
        retryRounds = 0;
        EXPECT_TRUE(store->Save()) << obstacle.what;
        EXPECT_EQ(retryRounds, 0) << obstacle.what;
        EXPECT_EQ(content(), "[A]\r\nk=new\r\n\r\n") << obstacle.what;
    }
}

TEST_F(SettingsFile, ARetryThatGetsThroughEndsTheSave) {
    for (const Obstacle& obstacle : obstacles()) {
        auto store = open("");
        store->WriteString("A", "k", "v");
        obstacle.put(path());
        retryRounds = 0;
        onRetry = [&](int round) {
            if (round == 3) {
                obstacle.remove(path());
            }
        };
        EXPECT_TRUE(store->Save()) << obstacle.what;
        EXPECT_EQ(retryRounds, 3) << obstacle.what;
        EXPECT_EQ(content(), "[A]\r\nk=v\r\n\r\n") << obstacle.what;
        onRetry = nullptr;
    }
}

TEST_F(SettingsFile, AFileThatCannotBeLoadedIsNeverOverwritten) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        std::function<bool(const std::string&)> intact;
    };
    const Case cases[] = {
        {"folder", [](const std::string& p) { fs::create_directories(p + "/inside"); },
         [](const std::string& p) { return fs::is_directory(p + "/inside"); }},
        {"fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); },
         [](const std::string& p) { return fs::is_fifo(p); }},
    };
    for (const Case& c : cases) {
        const std::string p = dir / c.what;
        c.make(p);
        TwiniSettings store;
        store.SetRetryWait([this](std::chrono::milliseconds) { ++retryRounds; });
        retryRounds = 0;
        EXPECT_EQ(store.SetParams(QString::fromStdString(p), "QOLVE", 6), -10) << c.what;
        EXPECT_EQ(store.ReadInteger("USER", "CL_REGIME", 2), 2) << c.what;
        EXPECT_TRUE(store.WriteString("USER", "CL_REGIME", "3")) << c.what;
        EXPECT_EQ(store.ReadInteger("USER", "CL_REGIME", 2), 3) << c.what;
        EXPECT_FALSE(store.Save()) << c.what;
        EXPECT_EQ(retryRounds, 0) << c.what;
        EXPECT_TRUE(c.intact(p)) << c.what;
    }
}

TEST_F(SettingsFile, AStoreNeverOpenedHasNothingToSaveTo) {
    TwiniSettings store;
    EXPECT_EQ(store.FileName(), "");
    EXPECT_EQ(store.ReadString("A", "k", "d"), "d");
    store.WriteString("A", "k", "v");
    EXPECT_EQ(store.ReadString("a", "K", "d"), "v");
    EXPECT_FALSE(store.Save());
}

TEST_F(SettingsFile, OpeningCreatesAMissingFileAndFallsBackToTheCurrentFolder) {
    TwiniSettings store;
    const std::string created = dir / "new.ini";
    EXPECT_EQ(store.SetParams(QString::fromStdString(created), "", 6), 0);
    EXPECT_TRUE(fs::is_regular_file(created));
    EXPECT_EQ(fs::file_size(created), 0u);

    // A file named like it in the current folder stands in for one in a missing folder.
    testing::writeFile(dir / "here/app.ini", "[A]\r\nk=here\r\n");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir / "here")));
    TwiniSettings fallback;
    const int result = fallback.SetParams(QString::fromStdString(dir / "missing/app.ini"), "", 6);
    QDir::setCurrent(previous);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fallback.ReadString("A", "k", ""), "here");
    EXPECT_EQ(QFileInfo(fallback.FileName()).canonicalFilePath(),
              QFileInfo(QString::fromStdString(dir / "here/app.ini")).canonicalFilePath());
}

TEST_F(SettingsFile, ValuesAreWrittenInTheMachinesCodePage) {
    struct Case {
        int codePage;
        std::string bytes;
        const char16_t* readBack;
    };
    const Case cases[] = {
        {1251, "\xCF\xF0\xE8\xE2\xE5\xF2 \xB9 5", u"Привет № 5"},
        {1252, "?????? ? 5", u"?????? ? 5"},
        {65001, "Привет № 5", u"Привет № 5"},
    };
    for (const Case& c : cases) {
        auto store = open("", c.codePage);
        store->WriteString("A", "k", QStringLiteral("Привет № 5"));
        ASSERT_TRUE(store->Save());
        EXPECT_EQ(content(), "[A]\r\nk=" + c.bytes + "\r\n\r\n") << c.codePage;
        EXPECT_EQ(open(content(), c.codePage)->ReadString("A", "k", ""),
                  QString::fromUtf16(c.readBack))
            << c.codePage;
    }
}

TEST_F(SettingsFile, AUnicodeFileKeepsItsByteOrderMark) {
    const std::string utf8 = "\xEF\xBB\xBF[A]\r\nk=Привет\r\n";
    auto store = open(utf8, 1251);
    EXPECT_EQ(store->ReadString("A", "k", ""), QStringLiteral("Привет"));
    store->WriteString("A", "n", QStringLiteral("ё\u4E2D"));
    ASSERT_TRUE(store->Save());
    EXPECT_EQ(content(), "\xEF\xBB\xBF[A]\r\nk=Привет\r\nn=ё中\r\n\r\n");

    const QString text = QStringLiteral("[A]\r\nk=Привет\r\n");
    std::string utf16 = "\xFF\xFE";
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    EXPECT_EQ(open(utf16, 1252)->ReadString("A", "k", ""), QStringLiteral("Привет"));
}

TEST_F(SettingsFile, OnlyTheSupportedCodePagesAreTaken) {
    TwiniSettings store;
    EXPECT_EQ(store.CodePage(), 1252);
    EXPECT_FALSE(store.SetCodePage(866));
    EXPECT_EQ(store.CodePage(), 1252);
    EXPECT_TRUE(store.SetCodePage(65001));
    EXPECT_EQ(store.CodePage(), 65001);
}

TEST_F(SettingsFile, SaveWithMsgWarnsOnlyWhenTheSaveFails) {
    struct Case {
        bool fails;
        const char* caption;
        const char* shownCaption;
    };
    const Case cases[] = {{true, "", "Warning"}, {true, "Ошибка", "Ошибка"}, {false, "", nullptr}};
    for (const Case& c : cases) {
        auto store = open("");
        store->WriteString("A", "k", "v");
        if (c.fails) {
            fs::remove(path()), fs::create_directory(path());
        }
        QStringList shown;
        store->SetWarningSink(
            [&](const QString& message, const QString& caption) { shown << message << caption; });
        EXPECT_EQ(store->SaveWithMsg("Не удалось сохранить", c.caption), !c.fails);
        const QStringList expected = c.shownCaption == nullptr
                                         ? QStringList()
                                         : QStringList{QStringLiteral("Не удалось сохранить"),
                                                       QString::fromUtf8(c.shownCaption)};
        EXPECT_EQ(shown, expected);
        fs::remove_all(path());
    }
    TwiniSettings withoutSink;
    EXPECT_FALSE(withoutSink.SaveWithMsg("text", ""));
}

TEST_F(SettingsFile, RenameAndDeleteSections) {
    struct Case {
        const char* from;
        const char* to;
        bool found;
        const char* file;
    };
    const Case cases[] = {
        {"a", "Renamed", true,
         "[Renamed]\r\nk=1\r\n\r\n[B]\r\nk=2\r\nm=3\r\n\r\n[Settings]\r\nd=4\r\n\r\n"},
        {"", "Top", true, "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\nm=3\r\n\r\n[Top]\r\nd=4\r\n\r\n"},
        {"none", "X", false,
         "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\nm=3\r\n\r\n[Settings]\r\nd=4\r\n\r\n"},
        // Into a section that exists: what a reload of the renamed file would give.
        {"b", "a", true, "[A]\r\nk=1\r\nk=2\r\nm=3\r\n\r\n[Settings]\r\nd=4\r\n\r\n"},
        {"settings", "b", true, "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\nm=3\r\nd=4\r\n\r\n"},
    };
    for (const Case& c : cases) {
        auto store = open("[A]\r\nk=1\r\n[B]\r\nk=2\r\nm=3\r\n[Settings]\r\nd=4\r\n");
        EXPECT_EQ(store->RenameSection(c.from, c.to), c.found) << c.from;
        ASSERT_TRUE(store->Save());
        EXPECT_EQ(content(), c.file) << c.from;
    }

    auto store = open("[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
    EXPECT_TRUE(store->DeleteSection("a"));
    EXPECT_EQ(store->ReadString("A", "k", "gone"), "gone");
    store->SetCurrentKey("P");
    store->WriteString("B", "k", "prefixed");
    EXPECT_EQ(store->ReadString("B", "k", ""), "prefixed");
    ASSERT_TRUE(store->Save());
    EXPECT_EQ(content(), "[B]\r\nk=2\r\n\r\n[P_B]\r\nk=prefixed\r\n\r\n");
    EXPECT_TRUE(store->Clear());
    ASSERT_TRUE(store->Save());
    EXPECT_EQ(content(), "");
}

}  // namespace
}  // namespace tidora::frame
