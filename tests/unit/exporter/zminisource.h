#pragma once
// A small Zentor source built row by row, with values whose exports are known exactly.
#include "common/jetdb.h"
#include "demo/zentordemo.h"

#include <filesystem>
#include <string>

namespace zmini {

inline std::int64_t block(int r1, int k1, int r2 = 0, int k2 = 0) {
    return (static_cast<std::int64_t>(k1) << 16) | (k2 << 14) | (r1 << 8) | (r2 << 4);
}

// Colours of every club: home shirt 127, home second 0, home shorts 0x12345678, then 5, 6, 7;
// away shirt 0xFF0000, away second -1, away shorts 0x00FF00, then 1, 2, 3.
inline const char* kColours = "127,0,305419896,5,6,7,16711680,-1,65280,1,2,3";

inline void write(const std::filesystem::path& file) {
    jet::Database db = jet::Database::open(file, true);
    db.executeNative(demo::zentorSchema());
    const std::string c = kColours;
    db.executeNative(
        "INSERT INTO LAND VALUES (1,'Deutschland',1,'GER'),(2,'Brasilien',4,'BRA'),(3,'Neuland',7,'NEU');"
        "INSERT INTO LIGA VALUES (10,'Bundesliga',1,1),(11,'Regional/Nord',1,2);"
        "INSERT INTO STADION VALUES (1,'Adlerpark',0," + std::to_string(block(4, 0, 2, 1)) + ",0,0,0,0,0,0,0,0,0,0,0,0,0),"
        "(2,'Sportfeld',-1," + std::to_string(block(2, 0)) + ",0,0," + std::to_string(block(5, 1)) +
        ",0,0,0,0,0,0,0,0,0,0);"
        "INSERT INTO VEREIN VALUES (1,1,'Deutschland','Deutschland','GER','Berlin',0,'',0,0," + c + "),"
        "(2,2,'Brasilien','Brasilien','BRA','Brasilia',0,'',0,0," + c + "),"
        "(100,1,'FC Adler','Adler','ADL','Adlerstadt',1,'Adlerwiese',11,12," + c + "),"
        "(101,1,'Blau/Weiß Au','Blau-Weiß','BWA','Au',2,'',13,0," + c + "),"
        "(102,1,'Zebra SV','Zebra','ZEB','Zell',2,'Zebrawiese',14,15," + c + "),"
        "(103,1,'Minus FC','Minus','MIN','Minden',1,'',-16,0," + c + "),"
        "(104,2,'Amigos','Amigos','AMI','Rio',1,'',17,0," + c + "),"
        "(105,1,'Ohne Team','Ohne','OHN','Oberau',1,'',18,0," + c + ");"
        "INSERT INTO TEAM VALUES (11,1,10,'1,2,3,4,'),(12,1,0,'5,6,'),(13,1,10,'7,'),(14,1,0,'8,99,'),"
        "(15,1,0,' '),(-16,1,11,'9,'),(17,2,0,'10,');"
        // SPIELER_ID, VORNAME, NAME, KNSTLRNAME, STAAT, MANNSCHAFTSTEIL, RUECKENNUMMER, VERTRAGSLAUFZEIT,
        // seven field skills, five goalkeeper skills, TYPUS, HAARTYPE, HAARFARBE
        "INSERT INTO SPIELER VALUES"
        "(1,'Hans','Müller',NULL,1,0,1,2, 10,10,10,10,10,10,10, 70,70,70,70,69, 0,3,255),"
        "(2,'Arthur','Coimbra','Zico',2,3,10,3, 100,100,100,100,100,100,99, 1,1,1,1,1, 4,0,1),"
        "(3,'Karl','Abel','',1,1,4,NULL, 100,100,100,100,100,100,100, 1,1,1,1,1, 2,11,0),"
        "(4,'Otto','Zander',NULL,77,1,5,1, 1,1,1,1,1,1,1, 1,1,1,1,1, 0,0,0),"
        "(5,'Paul','Bauer',NULL,1,2,8,1, 50,50,50,50,50,50,50, 1,1,1,1,1, 1,8,0),"
        "(6,'Emil','Acker',NULL,1,2,6,4, 20,20,20,20,20,20,NULL, 1,1,1,1,1, 5,9,3),"
        "(7,'Jörg','Öztürk',NULL,1,5,7,1, 30,30,30,30,30,30,30, 1,1,1,1,1, 0,3,4),"
        "(8,'Udo','Lang',NULL,1,3,9,5, 40,40,40,40,40,40,40, 1,1,1,1,1, 4,3,2),"
        "(9,'Max','Spieler',NULL,1,1,2,1, 35,35,35,35,35,35,35, 1,1,1,1,1, 0,8,1),"
        "(10,'Bruno','Keeper',NULL,2,0,1,1, 1,1,1,1,1,1,1, 20,20,20,20,20, 4,4,0);");
}

}  // namespace zmini
