// Database commands: demo world, Jet import, single statements.
#include "demo/demoworld.h"
#include "common/jetdb.h"
#include "common/jetimport.h"
#include "foundation/schema.h"
#include "tool.h"

#include <charconv>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tool {

bool takeOption(Args& args, const std::string& name, std::string& value) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 >= args.size()) return false;
        value = args[i + 1];
        args.erase(args.begin() + i, args.begin() + i + 2);
        return true;
    }
    return true;
}

bool inputExists(const std::string& file) {
    std::error_code ec;
    if (fs::exists(file, ec)) return true;
    std::cerr << "Die Datei " << file << " gibt es nicht.\n";
    return false;
}

namespace {

bool parseNumber(const std::string& text, std::uint64_t& out) {
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && p == text.data() + text.size();
}

// Tab-separated output: the value escaped so that one row stays one line.
void printValue(std::ostream& out, const jet::Value& v) {
    if (v.isNull()) {
        out << "\\N";
        return;
    }
    if (v.isBlob()) {
        static const char* hex = "0123456789abcdef";
        out << "\\x";
        for (auto b : v.blob()) out << hex[b >> 4] << hex[b & 15];
        return;
    }
    for (char c : v.toString()) {
        switch (c) {
            case '\t': out << "\\t"; break;
            case '\n': out << "\\n"; break;
            case '\r': out << "\\r"; break;
            case '\\': out << "\\\\"; break;
            default: out << c;
        }
    }
}

bool isSelect(const std::string& sql) {
    size_t i = sql.find_first_not_of(" \t\r\n(");
    if (i == std::string::npos) return false;
    std::string word;
    while (i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i]))) word += std::tolower(static_cast<unsigned char>(sql[i++]));
    return word == "select" || word == "with" || word == "transform";
}

}  // namespace

int cmdDemo(const Args& in) {
    Args args = in;
    std::string scale = "1", seed = "1";
    if (!takeOption(args, "--scale", scale) || !takeOption(args, "--seed", seed) || args.size() != 1) return kUsage;
    demo::Options options;
    std::uint64_t n = 0;
    if (!parseNumber(scale, n) || n < 1 || n > 1000) {
        std::cerr << "Ungültige Größe: " << scale << "\n";
        return kUsage;
    }
    options.scale = static_cast<int>(n);
    if (!parseNumber(seed, options.seed)) {
        std::cerr << "Ungültiger Startwert: " << seed << "\n";
        return kUsage;
    }
    const fs::path dir = args[0];
    if (fs::exists(dir / "kickora.mdb")) {
        std::cerr << "Im Ordner " << dir.string() << " liegt schon eine kickora.mdb.\n";
        return kError;
    }
    demo::writeProgramFolder(dir, options);
    return kOk;
}

int cmdImportMdb(const Args& args) {
    if (args.size() != 2) return kUsage;
    const fs::path source = args[0], target = args[1];
    if (!inputExists(args[0])) return kError;
    if (fs::exists(target)) {
        std::cerr << "Die Zieldatei " << target.string() << " gibt es schon.\n";
        return kError;
    }
    jetimport::Report report = jetimport::importFile(source, target);
    {
        jet::Database db = jet::Database::open(target);
        schema::ensureGameViews(db);
    }
    std::cout << report.tables.size() << " Tabellen, " << report.views.size() << " Abfragen als Sichten";
    if (!report.keptQueries.empty()) std::cout << ", " << report.keptQueries.size() << " Abfragen nur gespeichert";
    std::cout << "\n";
    for (const auto& q : report.keptQueries) std::cout << "  " << q.name << ": " << q.reason << "\n";
    return kOk;
}

int cmdSql(const Args& args) {
    if (args.size() != 2) return kUsage;
    if (!inputExists(args[0])) return kError;
    if (jetimport::detect(args[0]) != jetimport::FileKind::Sqlite) {
        std::cerr << "Die Datei " << args[0] << " ist keine Datenbank des Editors.\n";
        return kError;
    }
    jet::Database db = jet::Database::open(args[0]);
    const std::string& sql = args[1];
    if (!isSelect(sql)) {
        std::cout << db.execute(sql) << "\n";
        return kOk;
    }
    jet::Recordset rs = db.query(sql);
    for (int i = 0; i < rs.fieldCount(); ++i) {
        if (i) std::cout << '\t';
        printValue(std::cout, jet::Value(rs.fieldName(i)));
    }
    std::cout << '\n';
    for (; !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < rs.fieldCount(); ++i) {
            if (i) std::cout << '\t';
            printValue(std::cout, rs.field(i));
        }
        std::cout << '\n';
    }
    return kOk;
}

}  // namespace tool
