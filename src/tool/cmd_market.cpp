// Transfer market commands: filling the transfer-market club with free players, and the swaps.
#include "common/jetdb.h"
#include "common/jetimport.h"
#include "common/progress.h"
#include "common/random.h"
#include "import/market.h"
#include "tool.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>

namespace tool {

namespace {

template <typename T>
std::optional<T> number(const std::string& text)
{
    T n{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return n;
}

std::optional<jet::Database> openGameDatabase(const std::string& file)
{
    if (jetimport::detect(file) != jetimport::FileKind::Sqlite) {
        std::cerr << "Die Datei " << file << " ist keine Datenbank des Editors.\n";
        return std::nullopt;
    }
    return jet::Database::open(file);
}

bool requireFreePlayers(jet::Database& db)
{
    if (market::checkz4(db))
        return true;
    std::cerr << "Die Datenbank hat keine Tabelle z4spieler (freie Spieler).\n";
    return false;
}

}  // namespace

int cmdMarketFill(const Args& given)
{
    Args args = given;
    std::string seedText = "1";
    if (!takeOption(args, "--seed", seedText) || args.size() != 1)
        return kUsage;
    const auto seed = number<std::uint64_t>(seedText);
    if (!seed) {
        std::cerr << "Ungültiger Startwert: " << seedText << "\n";
        return kUsage;
    }
    auto db = openGameDatabase(args[0]);
    if (!db || !requireFreePlayers(*db))
        return kError;
    RandomSource rnd(*seed);
    NullProgress progress;
    const market::FillResult result = market::spielerz4_nach_tmarkt(*db, progress, rnd);
    std::cout << result.filled << " Plätze im Transfermarkt besetzt\n";
    return kOk;
}

int cmdMarketSwap(const Args& given)
{
    Args args = given;
    std::string freeText, playerText, withText, seedText = "1";
    if (!takeOption(args, "--free", freeText) || !takeOption(args, "--player", playerText) ||
        !takeOption(args, "--with", withText) || !takeOption(args, "--seed", seedText) || args.size() != 1 ||
        playerText.empty() || freeText.empty() == withText.empty())
        return kUsage;
    const auto player = number<long long>(playerText);
    const auto other = number<long long>(freeText.empty() ? withText : freeText);
    const auto seed = number<std::uint64_t>(seedText);
    if (!player || !other || !seed || *player < 0 || *other < 0) {
        std::cerr << "Ungültige Nummer oder ungültiger Startwert.\n";
        return kUsage;
    }
    auto db = openGameDatabase(args[0]);
    if (!db)
        return kError;
    if (!freeText.empty()) {
        if (!requireFreePlayers(*db))
            return kError;
        RandomSource rnd(*seed);
        const std::string club = market::vereinText(*db, market::vereinVon(*db, *player));
        market::tauschFrei(*db, *other, *player, club, rnd);
        std::cout << "Spieler " << *player << " übernimmt den freien Spieler " << *other << "\n";
    } else {
        const long long clubA = market::vereinVon(*db, *player);
        const long long clubB = market::vereinVon(*db, *other);
        market::tauschEditor(*db, *player, clubA, *other, clubB);
        std::cout << "Spieler " << *player << " und " << *other << " getauscht\n";
    }
    return kOk;
}

}  // namespace tool
