#include "app/cli_options.h"

#include <charconv>
#include <set>

namespace tidora::app {

const char* const kCliUsage =
    "usage: tidora-cli machine [--prefix DIR]\n"
    "       tidora-cli catalog [--prefix DIR] [--json]\n"
    "       tidora-cli analyze [--prefix DIR] [--regime N | --items ID,...] [--imitate] [--json] "
    "[--rows]\n"
    "       tidora-cli clean   [--prefix DIR] [--regime N | --items ID,...] [--imitate] [--json] "
    "[--rows]\n"
    "       tidora-cli history [clear] [--prefix DIR] [--json]\n"
    "  machine   print what Tidora knows about the Windows machine of a Wine prefix\n"
    "  catalog   print the clean items for that machine and every folder, key and exclusion\n"
    "            they search, with whether it exists there\n"
    "  analyze   find the junk of the selected items and report it; nothing is changed\n"
    "  clean     analyse, then delete what was found, and report it\n"
    "  history   list the cleanings done so far; 'history clear' deletes that list\n"
    "  --regime N   1 quick, 2 optimal, 3 full, 4 the user's own selection (default: the\n"
    "               settings' regime)\n"
    "  --items      exactly these item IDs (see catalog)\n"
    "  --imitate    mark everything deleted without deleting anything\n"
    "  --json       one JSON document; --rows adds every found entry\n"
    "The prefix is --prefix DIR, else $WINEPREFIX, else ~/.wine. Ctrl+C cancels (exit code 3).\n";

namespace {

int parseNumber(const std::string& text, const std::string& what) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        throw UsageError(what + " must be a number, not '" + text + "'");
    }
    return value;
}

std::vector<int> parseItems(const std::string& text) {
    std::vector<int> ids;
    std::set<int> seen;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const int id = parseNumber(part, "an item ID");
        if (seen.insert(id).second) {
            ids.push_back(id);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return ids;
}

}  // namespace

CliOptions parseCliOptions(const std::vector<std::string>& args) {
    if (args.empty()) {
        throw UsageError("no command given");
    }
    CliOptions o;
    o.command = args[0];
    const bool run = o.command == "analyze" || o.command == "clean";
    const bool history = o.command == "history";
    if (!run && !history && o.command != "machine" && o.command != "catalog") {
        throw UsageError("unknown command '" + o.command + "'");
    }
    size_t first = 1;
    if (history && args.size() > 1 && args[1] == "clear") {
        o.clearHistory = true;
        first = 2;
    }
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](const std::string& name) -> std::string {
            if (a.rfind(name + "=", 0) == 0) {
                return a.substr(name.size() + 1);
            }
            if (i + 1 >= args.size()) {
                throw UsageError(name + " needs a value");
            }
            return args[++i];
        };
        const auto is = [&](const char* name) {
            return a == name || a.rfind(std::string(name) + "=", 0) == 0;
        };
        if (is("--prefix")) {
            o.prefix = value("--prefix");
        } else if (a == "--json" && o.command != "machine" && !o.clearHistory) {
            o.json = true;
        } else if (run && is("--regime")) {
            o.regime = parseNumber(value("--regime"), "--regime");
            if (*o.regime < 1 || *o.regime > 4) {
                throw UsageError("--regime must be 1, 2, 3 or 4");
            }
        } else if (run && is("--items")) {
            o.items = parseItems(value("--items"));
        } else if (run && a == "--imitate") {
            o.imitate = true;
        } else if (run && a == "--rows") {
            o.rows = true;
        } else {
            throw UsageError("unknown argument '" + a + "'");
        }
    }
    if (o.regime && !o.items.empty()) {
        throw UsageError("--regime and --items exclude each other");
    }
    return o;
}

}  // namespace tidora::app
