// Syllable lists per language region. Only letters of Windows-1252, since every name ends
// up in the game's text files.
#include "demonames.h"

#include "common/random.h"

#include <string_view>
#include <vector>

namespace demo {

namespace {

using List = std::vector<std::string_view>;

struct RegionData {
    List first;
    List particle;  // put before the surname now and then ("van ", "Al-"); "" for none
    List surA, surB;
    List townA, townB;
    List clubs;     // {T} stands for the town, {Y} for a founding year
    List stadiums;
    int darkPercent;
};

const std::vector<RegionData>& regions()
{
    static const std::vector<RegionData> data = {
        // kDeutsch
        {{"Jonas", "Lukas", "Leon", "Tim", "Felix", "Jan", "Niklas", "Max", "Paul", "Moritz", "Florian", "Tobias",
          "Sebastian", "Kai", "Dennis", "Marco", "Sven", "Jörg", "Jürgen", "Björn", "Sören", "Thorsten", "Matthias",
          "Dominik", "Fabian", "Stefan", "Timo", "Benedikt", "Uwe", "Günter", "Maximilian", "Hans-Jürgen"},
         {""},
         {"Mül", "Schrö", "Bre", "Hof", "Wag", "Kessel", "Lind", "Stein", "Brenn", "Fuchs", "Groß", "Klein", "Weiß",
          "Sauer", "Krä", "Böh", "Jäg", "Zie", "Hart", "Lang", "Schwarz", "Neu", "Vog", "Kal", "Ober", "Roß"},
         {"mann", "er", "ke", "ling", "hofer", "bauer", "meier", "länder", "huber", "städter", "feld", "berger",
          "mer", "ner", "inger", "wald", "kamp", "ig"},
         {"Ber", "Lin", "Eich", "Fal", "Grün", "Stein", "Wald", "Rot", "Kirch", "Hohen", "Alt", "Neu", "Wester", "Mühl",
          "Brun", "Hasel", "Lauter", "Kalten", "Rosen", "Schön", "Weißen", "Buch", "Mar", "Otter", "Sonnen", "Fried",
          "Gers", "Hildes", "Wolfs", "Ahl", "Groß", "Süd"},
         {"bach", "hausen", "dorf", "burg", "heim", "rode", "stedt", "feld", "ingen", "au", "berg", "brück", "tal",
          "hagen", "kirchen", "weiler", "stadt", "münde", "felde", "born"},
         {"FC {T}", "SV {T}", "1. FC {T}", "TSV {T} {Y}", "VfB {T}", "VfL {T}", "Borussia {T}", "Eintracht {T}",
          "Fortuna {T}", "SpVgg {T}", "Blau-Weiß {T}", "Rot-Weiß {T}", "SC {T}", "Union {T}", "Alemannia {T}",
          "Kickers {T}", "Sportfreunde {T}", "FSV {T} {Y}", "Viktoria {T}", "Preußen {T}"},
         {"Stadion {T}", "{T}-Arena", "Sportpark {T}", "Waldstadion {T}", "Stadion an der Mühle", "Ostkurvenpark {T}"},
         5},
        // kEnglisch
        {{"James", "Harry", "Jack", "Oliver", "George", "Tom", "Daniel", "Ryan", "Callum", "Liam", "Connor", "Jamie",
          "Luke", "Ben", "Sam", "Scott", "Kyle", "Nathan", "Alfie", "Owen"},
         {""},
         {"Ash", "Brad", "Clay", "Hol", "Fletch", "Wood", "Black", "Hart", "Pen", "Thorn", "Ram", "Bar", "Cart",
          "Hamp", "Whit", "Stan", "Mar"},
         {"ley", "ton", "wood", "er", "son", "field", "worth", "ridge", "ford", "ham", "by", "wright", "well"},
         {"Ash", "Brad", "Castle", "Dun", "Elm", "Fair", "Glen", "Hart", "Kings", "Lang", "Mill", "North", "Oak", "Red",
          "Stan", "Thorn", "West", "Wick", "Bright", "Black"},
         {"ford", "ton", "field", "bury", "wood", "ham", "by", "mouth", "ley", "wick", "chester", "pool", "stone",
          "gate", "bridge"},
         {"{T} United", "{T} City", "{T} Rovers", "{T} Athletic", "{T} Wanderers", "FC {T}", "{T} Albion", "{T} Town",
          "{T} Rangers", "{T} Villa"},
         {"{T} Park", "{T} Road", "{T} Ground", "{T} Stadium", "Lane End {T}"},
         15},
        // kFranzoesisch
        {{"Antoine", "Julien", "Mathieu", "Nicolas", "Pierre", "Hugo", "Théo", "Lucas", "Maxime", "Rémi", "Jérôme",
          "Olivier", "Loïc", "Yannick", "Benoît", "Clément"},
         {""},
         {"Du", "Le", "Mar", "Bel", "Char", "Fon", "Ro", "Lam", "Gau", "Bou", "Per", "Vil", "Mor"},
         {"mont", "bert", "rand", "chard", "ault", "eau", "ier", "et", "in", "lanc", "reau", "ville"},
         {"Mont", "Beau", "Val", "Char", "Roche", "Ville", "Belle", "Fonte", "Cler", "Mar", "Lau", "Bourg", "Sau"},
         {"ville", "mont", "court", "bourg", "fort", "lieu", "champ", "mer", "vaux", "sac", "y", "ac", "ange"},
         {"FC {T}", "Olympique {T}", "AS {T}", "Stade {T}", "Racing Club {T}", "US {T}", "AJ {T}", "SC {T}"},
         {"Stade de {T}", "Stade Municipal de {T}", "Parc de {T}"},
         25},
        // kNiederlaendisch
        {{"Daan", "Sem", "Jeroen", "Bram", "Ruud", "Wesley", "Stijn", "Thijs", "Joost", "Niels", "Sander", "Bas",
          "Pieter", "Kees"},
         {"", "", "", "van ", "de ", "van der "},
         {"Hoog", "Ver", "Brou", "Dijk", "Kui", "Vos", "Slo", "Wes", "Ban", "Mol"},
         {"kamp", "stra", "meer", "huis", "ink", "sma", "horst", "veld", "dijk", "ema"},
         {"Oost", "Zuid", "Noord", "West", "Groen", "Hoog", "Veen", "Zand", "Dal", "Brug", "Ber", "Ha"},
         {"dam", "dorp", "veen", "hoven", "wijk", "burg", "sloot", "horst", "meer", "rade", "kerk"},
         {"FC {T}", "SC {T}", "{T} Boys", "VV {T}", "Sparta {T}", "Go Ahead {T}", "Willem {T}"},
         {"Sportpark {T}", "{T} Stadion", "De Kuip van {T}"},
         15},
        // kItalienisch
        {{"Marco", "Luca", "Andrea", "Matteo", "Lorenzo", "Giacomo", "Davide", "Simone", "Fabio", "Paolo", "Stefano",
          "Alessio", "Federico", "Nicolò"},
         {""},
         {"Ross", "Bian", "Ferr", "Lom", "Mar", "Gal", "Cost", "Fior", "Sant", "Bell", "Ner"},
         {"ini", "etti", "ucci", "ari", "elli", "one", "ato", "esi", "otti", "ano"},
         {"Monte", "Castel", "Villa", "Porto", "Rocca", "Borgo", "Val", "Fiore", "Lago", "Ponte", "Terra"},
         {"vecchio", "nuovo", "fiore", "rossa", "verde", "lino", "bella", "mare", "sole", "nero", "ferro"},
         {"AC {T}", "US {T}", "{T} Calcio", "Sporting {T}", "AS {T}", "Virtus {T}", "Real {T}"},
         {"Stadio {T}", "Stadio Comunale di {T}"},
         5},
        // kSpanisch
        {{"Javier", "Carlos", "Diego", "Pablo", "Sergio", "Álvaro", "Alejandro", "Raúl", "Iker", "Andrés", "Mateo",
          "Joaquín", "Rodrigo", "Emilio"},
         {""},
         {"Fer", "Gar", "Mor", "Alv", "Ram", "Rodr", "Cas", "Sán", "Dom", "Nav", "Gil", "Ort"},
         {"ández", "ero", "ales", "arez", "ín", "illo", "ueda", "ano", "ega", "ido", "ón"},
         {"Villa", "Monte", "Puerto", "Val", "Río", "Sierra", "Torre", "Campo", "Alto", "Nuevo"},
         {"real", "verde", "llano", "mar", "nueva", "blanca", "sol", "dorado", "alta", "fuerte", "rosa"},
         {"Real {T}", "Atlético {T}", "CD {T}", "Deportivo {T}", "UD {T}", "Club {T}", "Racing {T}"},
         {"Estadio {T}", "Campo de {T}", "Estadio Municipal de {T}"},
         15},
        // kPortugiesisch
        {{"João", "Pedro", "Tiago", "Rui", "Diogo", "Bruno", "Rafael", "Gonçalo", "Luís", "Vítor", "Caio", "Thiago",
          "Gustavo"},
         {""},
         {"Sil", "Sou", "Per", "Carv", "Alm", "Mend", "Ribei", "Fon", "Gom", "Mour"},
         {"va", "za", "eira", "alho", "eida", "es", "ro", "seca", "inho", "ão"},
         {"Vila ", "Porto ", "Monte ", "Santa ", "São ", "Rio ", "Campo ", "Ribeira ", "Lagoa ", "Serra "},
         {"Verde", "Nova", "Alegre", "Branco", "Real", "Mar", "Bela", "Grande", "Dourada", "Fria"},
         {"Sporting {T}", "SC {T}", "FC {T}", "Clube Atlético {T}", "União {T}", "Esporte Clube {T}"},
         {"Estádio {T}", "Estádio Municipal de {T}"},
         35},
        // kSlawisch
        {{"Jakub", "Tomasz", "Pavel", "Marek", "Ivan", "Dmitri", "Luka", "Petr", "Adam", "Filip", "Igor", "Sergej",
          "Josip", "Ante", "Oleg", "Wojtek"},
         {""},
         {"Kowal", "Nowa", "Novot", "Hor", "Vol", "Kuz", "Pet", "Bab", "Mar", "Kra", "Zel", "Dvor"},
         {"ski", "ak", "ov", "enko", "ic", "ny", "ek", "in", "evic", "czyk"},
         {"Novo", "Stara", "Bel", "Kras", "Zel", "Vys", "Gor", "Pol", "Dub", "Les", "Brod", "Mir"},
         {"grad", "ava", "ovo", "ice", "sk", "ov", "ina", "any", "ec", "nik"},
         {"Dynamo {T}", "Lokomotiva {T}", "Spartak {T}", "Slavia {T}", "Polonia {T}", "FK {T}", "NK {T}"},
         {"Stadion {T}", "Gradski Stadion {T}"},
         3},
        // kKarpaten
        {{"László", "Zoltán", "Gábor", "Attila", "Balázs", "Ádám", "Dániel", "Tamás", "Andrei", "Mihai", "Florin",
          "Cristian", "Bogdan", "Adrian", "Vlad"},
         {""},
         {"Szab", "Tót", "Nagy", "Kov", "Pop", "Ion", "Dum", "Stan", "Vár", "Mol"},
         {"ó", "escu", "ács", "ai", "eanu", "ár", "ici", "ányi", "ea", "os"},
         {"Kis", "Nagy", "Fehér", "Vár", "Szent", "Bala", "Tata", "Eger", "Bra", "Cra", "Tim", "Slo"},
         {"vár", "falva", "háza", "hely", "halom", "kút", "iova", "esti", "eni", "ad"},
         {"FC {T}", "Dinamo {T}", "Rapid {T}", "Vasas {T}", "CS {T}", "Petrolul {T}"},
         {"Stadionul {T}", "{T} Stadion"},
         3},
        // kGriechisch
        {{"Giorgos", "Nikos", "Kostas", "Dimitris", "Giannis", "Vasilis", "Christos", "Panagiotis", "Stavros",
          "Thanasis"},
         {""},
         {"Papa", "Kara", "Geor", "Niko", "Anto", "Dimi", "Mav", "Stav", "Kon", "Vla"},
         {"dopoulos", "manlis", "giou", "laidis", "niou", "tras", "ridis", "akis", "kos", "stas"},
         {"Ano", "Kato", "Neo", "Paleo", "Agia", "Kala", "Mega", "Thes", "Lar", "Kav"},
         {"polis", "kastro", "chori", "lia", "mata", "nos", "pyrgos", "ala"},
         {"AE {T}", "PAS {T}", "Aris {T}", "Olympiakos {T}", "Atromitos {T}", "Panionios {T}"},
         {"Gipedo {T}", "Stadio {T}"},
         3},
        // kTuerkisch
        {{"Emre", "Burak", "Mehmet", "Ahmet", "Can", "Mert", "Kerem", "Onur", "Hakan", "Volkan", "Cenk", "Arda",
          "Selçuk", "Tolga"},
         {""},
         {"Kar", "Ak", "Demir", "Öz", "Çel", "Kaya", "Ar", "Yal", "Er", "Tun", "Gül"},
         {"kaya", "oglu", "dag", "türk", "can", "er", "han", "soy", "tepe", "demir", "ay"},
         {"Kara", "Ak", "Yeni", "Eski", "Sar", "Kay", "Ala", "Gök", "Bey", "Dere"},
         {"köy", "hisar", "ova", "dere", "tepe", "kale", "pinar", "su", "yurt", "bey"},
         {"{T}spor", "{T} Belediyespor", "{T} Gençlik", "{T} Gücü", "{T} Idman Yurdu"},
         {"{T} Stadi", "{T} Arena"},
         8},
        // kArabisch
        {{"Mohamed", "Ahmed", "Omar", "Karim", "Youssef", "Hassan", "Tarek", "Khalid", "Sami", "Nabil", "Walid", "Amir",
          "Hamza", "Ali", "Reza", "Mehdi"},
         {"", "", "Al-", "El-", "Ben "},
         {"Mas", "Had", "Shar", "Am", "Rah", "Sal", "Najj", "Fay", "Kam", "Hadd", "Mans", "Nass", "Tabr", "Kar"},
         {"ri", "di", "if", "in", "man", "eh", "ar", "ed", "al", "ad", "our", "er", "izi", "imi"},
         {"Al-", "Ras ", "Bir ", "Wadi ", "Dar ", "Ain ", "Tel ", "Sidi "},
         {"Zahra", "Hamra", "Nour", "Salam", "Kabir", "Jadid", "Qasr", "Bahr", "Sharq", "Rimal"},
         {"Al-{T}", "{T} SC", "Ittihad {T}", "Nadi {T}", "Raja {T}", "Wydad {T}", "Étoile {T}"},
         {"{T} Stadium", "Stade {T}"},
         30},
        // kAfrikanisch
        {{"Chinedu", "Emeka", "Samuel", "Joseph", "Thabo", "Sipho", "Jean-Pierre", "Patrice", "Olumide", "Tunde",
          "Bongani", "Musa", "Ifeanyi", "Blessing"},
         {""},
         {"Oko", "Nwa", "Ade", "Mba", "Ndu", "Eze", "Obi", "Kha", "Mok", "Zu"},
         {"nkwo", "ye", "mi", "ngo", "ba", "la", "sile", "ena", "chukwu", "ko"},
         {"Mba", "Lu", "Kwa", "Ena", "Obu", "Aba", "Nko", "Ibi", "Ma", "Zo"},
         {"ngo", "ka", "ni", "sa", "wa", "bo", "lele", "tenga", "dou", "ri"},
         {"{T} Stars", "{T} United", "{T} Lions", "{T} Rangers", "Canon {T}", "{T} Chiefs", "{T} Warriors"},
         {"{T} Stadium", "{T} Sports Ground"},
         85},
        // kJapanisch
        {{"Hiroshi", "Takumi", "Yuto", "Kenta", "Daiki", "Ryo", "Shinji", "Kazuki", "Sota", "Haruto", "Keisuke",
          "Yuki"},
         {""},
         {"Naka", "Yama", "Taka", "Kawa", "Hoshi", "Mori", "Fuji", "Ishi", "Kita", "Matsu"},
         {"mura", "moto", "hashi", "da", "no", "kawa", "saki", "ta", "zawa", "oka"},
         {"Naka", "Yama", "Kawa", "Taka", "Shima", "Hana", "Kita", "Minami", "Aka", "Matsu"},
         {"mura", "saki", "hara", "zawa", "moto", "oka", "gawa", "shiro", "no", "ta"},
         {"FC {T}", "{T} United", "{T} Dragons", "{T} Tigers", "{T} Sakura"},
         {"{T} Stadium", "{T} Arena"},
         0},
        // kFernost
        {{"Min-jun", "Ji-ho", "Seung-woo", "Hyun", "Jae-sung", "Wei", "Hao", "Jun", "Lei", "Tao", "Zhen", "Bo"},
         {""},
         {"Kim", "Lee", "Park", "Choi", "Jung", "Wang", "Li", "Zhang", "Liu", "Chen", "Zhao", "Yang"},
         {""},
         {"Dae", "Seo", "Gwang", "Bu", "Jin", "Hang", "Shan", "Tian", "Hai", "Nan"},
         {"jeon", "san", "ju", "won", "yang", "zhou", "ning", "hai", "cheng", "dong"},
         {"{T} Dragons", "{T} Tigers", "{T} FC", "{T} Phoenix", "{T} Stars"},
         {"{T} Stadium", "{T} Sports Center"},
         0},
        // kAtlantisch
        {{"Aquilon", "Nerion", "Thalos", "Kyros", "Oris", "Pelos", "Tirion", "Meridas"},
         {""},
         {"Thal", "Ner", "Cor", "Aqu", "Ost", "Myr", "Sal", "Bry"},
         {"assos", "eon", "ides", "aris", "onos", "ynth", "amos", "or"},
         {"Posei", "Atla", "Thal", "Coral", "Aqua", "Nere", "Tri", "Oce"},
         {"donia", "ntis", "assa", "heim", "polis", "mar", "ton", "ana"},
         {"Poseidon {T}", "Triton {T}", "FC {T}", "Nautilus {T}"},
         {"Arena {T}", "Tiefseestadion {T}"},
         20},
    };
    return data;
}

std::string_view pick(const List& list, RandomSource& rnd)
{
    return list[rnd.below(list.size())];
}

std::string fill(std::string_view pattern, const std::string& town, RandomSource& rnd)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.substr(i, 3) == "{T}") {
            out += town;
            i += 2;
        } else if (pattern.substr(i, 3) == "{Y}") {
            static const int years[] = {1860, 1889, 1896, 1899, 1900, 1904, 1909, 1912, 1919, 1921, 1946, 1949};
            int y = years[rnd.below(std::size(years))];
            out += std::to_string(y);
            i += 2;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

}  // namespace

std::string firstName(Region r, RandomSource& rnd)
{
    return std::string(pick(regions()[r].first, rnd));
}

std::string surname(Region r, RandomSource& rnd)
{
    const RegionData& d = regions()[r];
    std::string out(pick(d.particle, rnd));
    out += pick(d.surA, rnd);
    out += pick(d.surB, rnd);
    return out;
}

std::string townName(Region r, RandomSource& rnd)
{
    const RegionData& d = regions()[r];
    std::string out(pick(d.townA, rnd));
    out += pick(d.townB, rnd);
    return out;
}

std::string clubName(Region r, const std::string& town, RandomSource& rnd)
{
    return fill(pick(regions()[r].clubs, rnd), town, rnd);
}

std::string stadiumName(Region r, const std::string& town, RandomSource& rnd)
{
    return fill(pick(regions()[r].stadiums, rnd), town, rnd);
}

int darkSkinPercent(Region r)
{
    return regions()[r].darkPercent;
}

}  // namespace demo
