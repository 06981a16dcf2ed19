#include "mainwindow/newitem.h"

#include <algorithm>

#include "foundation/dao.h"

namespace newitem {

long long nextTeamNumber(Dao& dao, long long pendingMax) {
    const jet::Recordset& rs = dao.query("Select max(maxnr) From maxteamnr");
    long long greatest = 0;
    if (rs.recordCount() > 0 && !rs.field(0).isNull()) greatest = rs.field(0).toInt();
    return std::max(greatest, pendingMax) + 1;
}

std::string key(Kind kind, long long number) {
    return (kind == NewCountry ? "L" : "T") + std::to_string(number) + "_";
}

std::string text(Kind kind, long long number) {
    return (kind == NewCountry ? "Land" : "Team") + std::to_string(number);
}

}  // namespace newitem
