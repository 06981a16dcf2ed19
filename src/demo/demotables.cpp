// Fixed game data of the demo world. None of it depends on the seed: it is the game's own
// catalogue, the same in every demo world.
#include "demodata.h"
#include "demonames.h"

#include <cstdio>

namespace demo {

const std::vector<Talent>& talents()
{
    // Prerequisites and protections stay inside the rows a player of the same kind sees:
    // field talents refer to field or shared talents, goalkeeper talents to goalkeeper or
    // shared ones, shared talents only to shared ones.
    static const std::vector<Talent> list = {
        {"Angriff", "Kopfballstark", {0, 0, 0}, {0, 0, 0}},                  // 1
        {"Angriff", "Kopfballungeheuer", {1, 0, 0}, {1, 0, 0}},              // 2
        {"Angriff", "Schussstark", {0, 0, 0}, {0, 0, 0}},                    // 3
        {"Angriff", "Fernschütze", {3, 0, 0}, {3, 0, 0}},                    // 4
        {"Angriff", "Vollstrecker", {3, 0, 0}, {0, 0, 0}},                   // 5
        {"Angriff", "Torjäger", {5, 3, 0}, {5, 3, 0}},                       // 6
        {"Standards", "Elfmeterschütze", {3, 42, 0}, {0, 0, 0}},             // 7
        {"Standards", "Freistoßkünstler", {3, 15, 0}, {0, 0, 0}},            // 8
        {"Standards", "Eckenspezialist", {10, 0, 0}, {0, 0, 0}},             // 9
        {"Spielaufbau", "Flankengott", {0, 0, 0}, {0, 0, 0}},                // 10
        {"Technik", "Dribbelkönig", {0, 0, 0}, {0, 0, 0}},                   // 11
        {"Technik", "Trickser", {11, 0, 0}, {0, 0, 0}},                      // 12
        {"Technik", "Ballkünstler", {11, 12, 0}, {11, 12, 0}},               // 13
        {"Spielaufbau", "Spielmacher", {15, 17, 0}, {15, 17, 0}},            // 14
        {"Spielaufbau", "Passgenau", {0, 0, 0}, {0, 0, 0}},                  // 15
        {"Spielaufbau", "Steilpassgeber", {15, 0, 0}, {15, 0, 0}},           // 16
        {"Spielaufbau", "Übersicht", {0, 0, 0}, {0, 0, 0}},                  // 17
        {"Tempo", "Schnell", {0, 0, 0}, {0, 0, 0}},                          // 18
        {"Tempo", "Antrittsstark", {18, 0, 0}, {0, 0, 0}},                   // 19
        {"Tempo", "Konterspieler", {18, 19, 0}, {18, 0, 0}},                 // 20
        {"Abwehr", "Zweikampfstark", {0, 0, 0}, {0, 0, 0}},                  // 21
        {"Abwehr", "Grätschenkönig", {21, 0, 0}, {21, 0, 0}},                // 22
        {"Abwehr", "Manndecker", {21, 0, 0}, {0, 0, 0}},                     // 23
        {"Abwehr", "Ausputzer", {0, 0, 0}, {0, 0, 0}},                       // 24
        {"Abwehr", "Abwehrchef", {24, 21, 41}, {24, 21, 0}},                 // 25
        {"Abwehr", "Kopfballabwehr", {1, 0, 0}, {0, 0, 0}},                  // 26
        {"Kondition", "Laufstark", {0, 0, 0}, {0, 0, 0}},                    // 27
        {"Kondition", "Dauerläufer", {27, 0, 0}, {27, 0, 0}},                // 28
        {"Kondition", "Robust", {0, 0, 0}, {0, 0, 0}},                       // 29
        {"Charakter", "Kampfschwein", {21, 29, 0}, {29, 0, 0}},              // 30
        {"Technik", "Beidfüßig", {0, 0, 0}, {0, 0, 0}},                      // 31
        {"Technik", "Linksfuß", {0, 0, 0}, {0, 0, 0}},                       // 32
        {"Technik", "Rechtsfuß", {0, 0, 0}, {0, 0, 0}},                      // 33
        {"Tempo", "Flügelflitzer", {18, 10, 0}, {18, 0, 0}},                 // 34
        {"Angriff", "Wandspieler", {29, 1, 0}, {29, 0, 0}},                  // 35
        {"Angriff", "Abstauber", {0, 0, 0}, {0, 0, 0}},                      // 36
        {"Charakter", "Joker", {0, 0, 0}, {0, 0, 0}},                        // 37
        {"Standards", "Einwurfspezialist", {0, 0, 0}, {0, 0, 0}},            // 38
        {"Angriff", "Fallrückzieher", {11, 1, 0}, {0, 0, 0}},                // 39
        {"Spielaufbau", "Allrounder", {27, 15, 21}, {27, 0, 0}},             // 40
        {"Charakter", "Führungsspieler", {0, 0, 0}, {0, 0, 0}},              // 41
        {"Charakter", "Nervenstark", {0, 0, 0}, {0, 0, 0}},                  // 42
        {"Charakter", "Fairplay", {0, 0, 0}, {0, 0, 0}},                     // 43
        {"Charakter", "Publikumsliebling", {0, 0, 0}, {0, 0, 0}},            // 44
        {"Kondition", "Verletzungsfrei", {0, 0, 0}, {0, 0, 0}},              // 45
        {"Kondition", "Trainingsfleiß", {0, 0, 0}, {45, 0, 0}},              // 46
        {"Charakter", "Routinier", {42, 0, 0}, {42, 41, 0}},                 // 47
        {"Torwart", "Elfmetertöter", {49, 42, 0}, {49, 0, 0}},               // 48
        {"Torwart", "Katzenreflexe", {0, 0, 0}, {0, 0, 0}},                  // 49
        {"Torwart", "Strafraumherr", {53, 0, 0}, {53, 0, 0}},                // 50
        {"Torwart", "Torwart-Libero", {0, 0, 0}, {0, 0, 0}},                 // 51
        {"Torwart", "Abschlagstark", {51, 0, 0}, {0, 0, 0}},                 // 52
        {"Torwart", "Sichere Hände", {0, 0, 0}, {0, 0, 0}},                  // 53
        {"Sonstiges", "Sprachtalent", {0, 0, 0}, {0, 0, 0}},                 // 54
        {"Sonstiges", "Medienprofi", {0, 0, 0}, {0, 0, 0}},                  // 55
        {"Sonstiges", "Heimatverbunden", {0, 0, 0}, {0, 0, 0}},              // 56
    };
    return list;
}

namespace {

constexpr const char* kBig = "CL,CL,CL,CLQ,UEFA,UEFA,UEFAQ,UI,UI";

}  // namespace

const std::vector<Country>& countries()
{
    static const std::vector<Country> list = {
        {"Deutschland", "West-Europa", "GER", kDeutsch, 36, 9, "Berlin", kBig},
        {"England", "West-Europa", "ENG", kEnglisch, 20, 9, "London", kBig},
        {"Frankreich", "West-Europa", "FRA", kFranzoesisch, 18, 8, "Paris", "CL,CL,CLQ,UEFA,UEFA,UEFAQ,UI"},
        {"Niederlande", "West-Europa", "NED", kNiederlaendisch, 16, 7, "Amsterdam", "CL,CLQ,UEFA,UEFA,UI"},
        {"Belgien", "West-Europa", "BEL", kFranzoesisch, 12, 6, "Brüssel", "CL,CLQ,UEFA,UEFAQ,UI"},
        {"Schottland", "West-Europa", "SCO", kEnglisch, 10, 5, "Edinburgh", "CL,CLQ,UEFA,UI"},
        {"Österreich", "West-Europa", "AUT", kDeutsch, 10, 5, "Wien", "CLQ,UEFA,UEFAQ,UI"},
        {"Schweiz", "West-Europa", "SUI", kDeutsch, 8, 5, "Bern", "CLQ,UEFA,UEFAQ,UI"},
        {"Italien", "Süd-Europa", "ITA", kItalienisch, 18, 9, "Rom", kBig},
        {"Spanien", "Süd-Europa", "ESP", kSpanisch, 18, 9, "Madrid", kBig},
        {"Portugal", "Süd-Europa", "POR", kPortugiesisch, 12, 7, "Lissabon", "CL,CLQ,UEFA,UEFA,UI"},
        {"Griechenland", "Süd-Europa", "GRE", kGriechisch, 10, 5, "Athen", "CLQ,UEFA,UEFAQ,UI"},
        {"Kroatien", "Süd-Europa", "CRO", kSlawisch, 8, 5, "Zagreb", "CLQ,UEFAQ,UI"},
        {"Polen", "Ost-Europa", "POL", kSlawisch, 12, 5, "Warschau", "CLQ,UEFA,UEFAQ,UI"},
        {"Tschechien", "Ost-Europa", "CZE", kSlawisch, 10, 5, "Prag", "CLQ,UEFA,UEFAQ,UI"},
        {"Russland", "Ost-Europa", "RUS", kSlawisch, 14, 6, "Moskau", "CL,CLQ,UEFA,UEFAQ,UI"},
        {"Ungarn", "Ost-Europa", "HUN", kKarpaten, 8, 4, "Budapest", "CLQ,UEFAQ,UI"},
        {"Rumänien", "Ost-Europa", "ROU", kKarpaten, 8, 4, "Bukarest", "CLQ,UEFAQ,UI"},
        {"Ägypten", "Nord-Afrika", "EGY", kArabisch, 6, 4, "Kairo", ""},
        {"Marokko", "Nord-Afrika", "MAR", kArabisch, 6, 4, "Rabat", ""},
        {"Tunesien", "Nord-Afrika", "TUN", kArabisch, 4, 3, "Tunis", ""},
        {"Südafrika", "Süd-Afrika", "RSA", kAfrikanisch, 6, 4, "Pretoria", ""},
        {"Nigeria", "Süd-Afrika", "NGA", kAfrikanisch, 4, 5, "Abuja", ""},
        {"Kamerun", "Süd-Afrika", "CMR", kAfrikanisch, 4, 4, "Yaoundé", ""},
        {"Türkei", "Naher-Osten", "TUR", kTuerkisch, 14, 6, "Ankara", "CLQ,UEFA,UEFAQ,UI"},
        {"Saudi-Arabien", "Naher-Osten", "KSA", kArabisch, 4, 3, "Riad", ""},
        {"Iran", "Naher-Osten", "IRN", kArabisch, 4, 3, "Teheran", ""},
        {"Japan", "Asien", "JPN", kJapanisch, 10, 5, "Tokio", ""},
        {"Südkorea", "Asien", "KOR", kFernost, 8, 5, "Seoul", ""},
        {"China", "Asien", "CHN", kFernost, 6, 3, "Peking", ""},
        {"Australien", "Ozeanien", "AUS", kEnglisch, 8, 4, "Canberra", ""},
        {"Neuseeland", "Ozeanien", "NZL", kEnglisch, 0, 2, "Wellington", ""},
        {"USA", "Nord-Amerika", "USA", kEnglisch, 10, 5, "Washington", ""},
        {"Kanada", "Nord-Amerika", "CAN", kEnglisch, 4, 3, "Ottawa", ""},
        {"Mexiko", "Mittel-Amerika", "MEX", kSpanisch, 10, 5, "Mexiko-Stadt", ""},
        {"Costa Rica", "Mittel-Amerika", "CRC", kSpanisch, 0, 3, "San José", ""},
        {"Brasilien", "Süd-Amerika", "BRA", kPortugiesisch, 16, 9, "Brasília", ""},
        {"Argentinien", "Süd-Amerika", "ARG", kSpanisch, 14, 8, "Buenos Aires", ""},
        {"Uruguay", "Süd-Amerika", "URU", kSpanisch, 6, 6, "Montevideo", ""},
        {"Kolumbien", "Süd-Amerika", "COL", kSpanisch, 6, 5, "Bogotá", ""},
        {"Poseidonien", "Atlantis", "ATL", kAtlantisch, 2, 2, "Tiefenhafen", ""},
    };
    return list;
}

const std::vector<Country>& countriesWithoutTeam()
{
    static const std::vector<Country> list = {
        {"Grönland", "Nord-Amerika", "GRL", kEnglisch, 0, 1, "Nuuk", ""},
        {"Färöer", "West-Europa", "FRO", kEnglisch, 0, 1, "Tórshavn", ""},
    };
    return list;
}

std::string colourText(int r, int g, int b)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d,%3d,%3d", r, g, b);
    return buf;
}

namespace {

struct Rgb {
    int r, g, b;
};

constexpr Rgb kPalette[] = {
    {255, 255, 255}, {0, 0, 0},      {48, 48, 48},    {200, 16, 32},  {120, 8, 24},
    {8, 64, 200},    {0, 40, 100},   {24, 181, 220},  {0, 128, 48},   {0, 80, 32},
    {240, 208, 0},   {240, 184, 32}, {240, 120, 0},   {96, 32, 144},  {144, 32, 56},
    {120, 72, 32},   {192, 192, 192}, {232, 96, 160}, {0, 160, 160},  {144, 208, 32},
};
constexpr int kPaletteSize = static_cast<int>(std::size(kPalette));

// Goalkeepers wear colours that stand out from both teams.
constexpr int kKeeperPalette[] = {10, 12, 19, 7, 17, 18, 8, 2, 11, 13};

std::string text(int index)
{
    const Rgb& c = kPalette[index % kPaletteSize];
    return colourText(c.r, c.g, c.b);
}

}  // namespace

JerseyColours jerseyColours(int set, int model)
{
    const int m = model;
    // Different multipliers per set, so the two sets dress the same model differently.
    const int a = set == 0 ? 7 : 9, b = set == 0 ? 13 : 17, c = set == 0 ? 11 : 3;
    int first = (m * a + set * 4) % kPaletteSize;
    if (m >= kFirstGoalkeeperModel)
        first = kKeeperPalette[(m * (set + 1)) % std::size(kKeeperPalette)];
    int second = (m * b + 5 + set) % kPaletteSize;
    if (second == first)
        second = (second + 1) % kPaletteSize;
    int shorts = m % 3 == 0 ? 0 : m % 3 == 1 ? 1 : (first + 5) % kPaletteSize;
    int stripe = (m * c + 2) % kPaletteSize;
    if (stripe == shorts)
        stripe = (stripe + 3) % kPaletteSize;
    return {text(first), text(second), text(shorts), text(stripe)};
}

namespace {

// Hair colour (0 blond, 1 braun, 2 schwarz, 3 rot, 4 grau) of the light-skinned hair
// pictures, in the grouping of the exporter's hair tables.
constexpr int kHairColourOfStyle[62] = {2, 0, 2, 1, 4, 2, 2, 2, 2, 0, 0, 2, 2, 0, 2, 2, 1, 2, 0, 4, 0,
                                        1, 1, 3, 0, 1, 0, 0, 1, 0, 0, 1, 2, 2, 1, 2, 1, 1, 1, 2, 2, 0,
                                        1, 2, 2, 1, 2, 1, 2, 0, 0, 2, 2, 0, 0, 0, 1, 1, 2, 2, 2, 0};

// Skin colour numbers from light to dark; tones 2 and 3 lie between the two drawn ones.
constexpr int kSkinColourOfTone[4] = {0, 3, 1, 2};

}  // namespace

FaceColour faceColour(int hairStyle, int skinTone)
{
    const int tone = ((skinTone % 4) + 4) % 4;
    int hair;
    if (tone == 1)
        hair = hairStyle == 5 ? 4 : 2;  // the dark faces' style 5 is the grey one
    else if (hairStyle >= 0 && hairStyle < 62)
        hair = kHairColourOfStyle[hairStyle];
    else
        hair = ((hairStyle % 5) + 5) % 5;
    return {kSkinColourOfTone[tone], hair};
}

long long faceCode(const int parts[5], int skin)
{
    static const long long weight[5] = {67108864LL, 1048576LL, 8192LL, 128LL, 4LL};
    long long code = 0;
    for (int k = 0; k < 4; ++k)
        code += parts[k] * weight[k];
    // A dark face carries the skin bit where a light face has its chin.
    code += skin == 1 ? 1 : parts[4] * weight[4];
    return code;
}

}  // namespace demo
